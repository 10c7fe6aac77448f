#pragma once
// Runs conversions on map data written by the test and reads the output.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../support/temp_tree.hpp"
#include "core/conversion/run.hpp"

namespace pelmora {

class RecordingObserver : public LogLineObserver {
 public:
  void OnLog(std::string_view line) override { log.emplace_back(line); }
  void OnRunStarted(const RunStarted& event) override { bytes_to_read = event.bytes_to_read; }
  void OnProgress(const RunProgress& event) override { progress.push_back(event.bytes_done); }
  void OnLayerCommitted(const LayerCommitted& event) override {
    committed.push_back(std::string(event.base_name) + " " + std::to_string(event.features));
  }
  void OnWarning(const Warning& event) override {
    warnings.push_back(LogLine(event));
    kinds.push_back(event.kind);
  }
  std::vector<std::string> log, committed, warnings;
  // The warnings but those of one kind, for tests about the others.
  std::vector<std::string> WarningsExcept(WarningKind kind) const {
    std::vector<std::string> others;
    for (size_t i = 0; i < warnings.size(); ++i) {
      if (kinds[i] != kind) others.push_back(warnings[i]);
    }
    return others;
  }
  std::vector<WarningKind> kinds;
  uint64_t bytes_to_read = UINT64_MAX;
  std::vector<uint64_t> progress;  // bytes done, as reported
};

class ConversionTest : public testing::Test {
 protected:
  // A header line with exactly ten commas: northing origin 1000, easting 2000.
  static constexpr const char* kHeader10 = "H,S1,a,b,c,d,e,1000,2000,x,y";

  ConversionTest() {
    tree_.MakeDir("maps");
    tree_.MakeDir("out");
    settings_.map_folders = {tree_.Path("maps")};
    settings_.output_folder = tree_.Path("out");
  }
  void Tick(int group) { settings_.groups[group] = true; }
  RunResult Run() {
    observer_ = RecordingObserver();
    return RunConversion(settings_, observer_);
  }
  // The message the user would see, or "" when the run succeeded.
  std::string RunError() {
    try {
      Run();
      return "";
    } catch (const ConversionError& e) {
      return DescribeError(e);
    }
  }
  // The MIF text after the header's empty line, decoded.
  std::string Objects(const std::string& base) {
    std::string text = tree_.ReadText("out/" + base + ".mif");
    return text.substr(text.find("Data\r\n\r\n") + 8);
  }
  std::string Rows(const std::string& base) { return tree_.ReadText("out/" + base + ".mid"); }

  testing_support::TempTree tree_;
  ConversionSettings settings_;
  RecordingObserver observer_;
};

}  // namespace pelmora
