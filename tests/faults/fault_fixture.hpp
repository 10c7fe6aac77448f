#pragma once
// Shared pieces of the fault tests: a scratch folder with a map-data folder
// holding one area of administrative-boundary data (six layers), a run of
// the conversion that keeps the error it ends with, and a fault hook that is
// removed again when the test ends.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/conversion/run.hpp"
#include "core/io/file_faults.hpp"

namespace pelmora::faults {

namespace fs = std::filesystem;

// The six layers of the group "gyousei", in run order.
inline const std::vector<std::string> kGyouseiLayers = {
    "Gyousei_Todofuken_Arc",   "Gyousei_GunshiKukai_Arc",     "Gyousei_ChosonShiteitoshi_Arc",
    "Gyousei_Shikuchoson_Pgn", "Gyousei_OhazaChochomoku_Arc", "Gyousei_OhazaChochomoku_Pgn"};

// A message with its paths' separators as "/": on Windows the scratch folder
// is written with "\\" and the program joins names with "/".
inline std::string WithSlashes(std::string text) {
#ifdef _WIN32
  for (char& ch : text) {
    if (ch == '\\') ch = '/';
  }
#endif
  return text;
}

void WriteFile(const fs::path& path, const std::string& bytes);
std::string ReadFile(const fs::path& path);

// An arc file with `records` records of each of the types L1101, L1103,
// L1104 and L1106 (two coordinate lines each), and one polygon of each of
// A1105 and A1106 with its attribute line.
void WriteGyouseiArea(const fs::path& area, int records = 3);

// Records log lines and can act on one (to change the file system between
// two layers, say).
class RecordingObserver : public LogLineObserver {
 public:
  void OnLog(std::string_view line) override;
  void OnWarning(const Warning& warning) override { warnings.push_back(LogLine(warning)); }
  std::vector<std::string> log;
  std::vector<std::string> warnings;  // as the log shows them
  std::function<void(std::string_view)> on_log;
};

// What a run ended with.
struct RunOutcome {
  bool failed = false;
  std::string message;  // DescribeError: the message and its place line
  int io_code = 0;      // for an IoError
};

class FaultTest : public ::testing::Test {
 protected:
  FaultTest();
  ~FaultTest() override;

  // Converts the given groups (default: gyousei) of map() into out().
  RunOutcome Convert(std::vector<std::string> groups = {"gyousei"});
  // Makes op fail with code on every path that contains path_part, from its
  // nth occurrence (counted from 1) on.
  void FailOn(FileOp op, std::string path_part, int code, int nth = 1);

  fs::path root() const { return root_; }
  fs::path map() const { return root_ / "map"; }
  fs::path out() const { return root_ / "out"; }
  fs::path area() const { return map() / "13101"; }

  RecordingObserver observer_;
  std::vector<std::string> map_folders_;

 private:
  fs::path root_;
};

}  // namespace pelmora::faults
