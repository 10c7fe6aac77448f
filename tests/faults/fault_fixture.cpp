#include "fault_fixture.hpp"

#include <stdlib.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <memory>
#include <sstream>

namespace pelmora::faults {

void WriteFile(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteGyouseiArea(const fs::path& area, int records) {
  std::string arc = "H1,13101,a,b,c,d,e,1000,2000,x,y\r\n";
  int id = 1;
  for (const char* type : {"L1101", "L1103", "L1104", "L1106"}) {
    for (int i = 0; i < records; ++i, ++id) {
      arc += std::string(type) + ",1," + std::to_string(id) + ",2\r\n";
      arc += std::to_string(i) + ".5,10\r\n" + std::to_string(i) + ",20.25\r\n";
    }
  }
  WriteFile(area / "gyousei/gyousei.arc", arc);
  const std::string header = "H1,13101,a,b,c,d,e,1000,2000,x,y\r\n";
  WriteFile(area / "gyousei/si_tyo.pgn", header + "A1105,1,2\r\n1\r\n-2\r\n");
  WriteFile(area / "gyousei/si_tyo.atr", "S,1,x,13101,name\r\n");
  WriteFile(area / "gyousei/tyome.pgn", header + "A1106,5,1\r\n3\r\n");
  WriteFile(area / "gyousei/tyome.atr", "T,5,x,13101,001,chome\r\n");
}

void RecordingObserver::OnLog(std::string_view line) {
  log.emplace_back(line);
  if (on_log) on_log(line);
}

FaultTest::FaultTest() {
  // A fresh folder of its own (create_directory fails on one that exists),
  // without mkdtemp, which Windows lacks.
  static std::atomic<unsigned> counter{0};
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  for (int attempt = 0;; ++attempt) {
    root_ = fs::temp_directory_path() /
            ("pelmora-faults-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    if (fs::create_directory(root_)) break;
    if (attempt == 100) throw std::runtime_error("cannot make a scratch folder");
  }
  fs::create_directories(out());
  WriteGyouseiArea(area());
  map_folders_ = {map().string()};
}

FaultTest::~FaultTest() {
  SetFileFaultHook(nullptr);
  std::error_code ignored;
  fs::remove_all(root_, ignored);
}

RunOutcome FaultTest::Convert(std::vector<std::string> groups) {
  ConversionSettings settings;
  settings.map_folders = map_folders_;
  settings.output_folder = out().string();
  for (const std::string& group : groups) settings.groups[FindLayerGroup(group)] = true;
  RunOutcome outcome;
  try {
    // A refused run is an outcome too: its warning and no file written.
    RunResult result = RunConversion(settings, observer_);
    if (result.problem != SettingsProblem::kNone) {
      outcome = {true, SettingsProblemMessage(result.problem, result.problem_folder), 0};
    }
  } catch (const IoError& e) {
    outcome = {true, DescribeError(e), e.code()};
  } catch (const ConversionError& e) {
    outcome = {true, DescribeError(e), 0};
  }
  return outcome;
}

void FaultTest::FailOn(FileOp op, std::string path_part, int code, int nth) {
  auto seen = std::make_shared<int>(0);
  SetFileFaultHook([=](FileOp o, const std::string& path) {
    if (o != op || WithSlashes(path).find(WithSlashes(path_part)) == std::string::npos) return 0;
    return ++*seen >= nth ? code : 0;
  });
}

}  // namespace pelmora::faults
