#pragma once
// Command-line options of pelmora-gendata.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pelmora::gen {

struct GenOptions {
  std::string out;        // map-data folder to create
  int areas = 1;          // area subfolders
  double size_mb = 20.0;  // approximate input megabytes per area
  uint64_t seed = 1;
  bool sample = false;  // the small bundled sample: three neighbouring sheets
  bool force = false;   // write into an existing, non-empty folder
  // Deliberate faults: about one attribute line in 200
  // left out, and in every area one block whose ring does not close and one
  // block that references an arc missing from the arc file.
  bool faults = false;
};

struct ParseResult {
  std::optional<GenOptions> options;  // empty when the program should stop
  std::string message;                // error text, or the help text
  bool error = false;
};

ParseResult ParseOptions(const std::vector<std::string>& args);

std::string UsageText();

}  // namespace pelmora::gen
