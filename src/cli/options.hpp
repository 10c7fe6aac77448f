#pragma once
// The command line of pelmora-convert, parsed and checked without touching
// any file.
#include <optional>
#include <string>

#include "core/conversion/settings.hpp"

namespace pelmora::cli {

struct Options {
  ConversionSettings settings;
  bool list_coordsys = false;
  bool list_formats = false;
  bool quiet = false;
  std::optional<bool> progress;  // unset: shown when standard error is a terminal
  std::string output;            // -o as given
  std::string report;            // --report: the JSON report's path, or empty
};

// Fills options from the command line. Returns -1 to go on, or the exit
// status to end with (0 after --help or --version, 2 for a usage error, whose
// message has been printed on standard error).
int ParseOptions(int argc, char** argv, Options& options);

}  // namespace pelmora::cli
