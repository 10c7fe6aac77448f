// A run with several jobs must be indistinguishable from a run with one:
// log lines, the error reported, and every file left in the output folder.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/conversion/run.hpp"
#include "core/io/file_faults.hpp"
#include "support/map_tree.hpp"

namespace pelmora {
namespace {

namespace fs = std::filesystem;
using testing::FolderDigest;
using testing::MakeTempFolder;
using testing::WriteArea;
using testing::WriteTextFile;

class RecordingObserver : public ConversionObserver {
 public:
  explicit RecordingObserver(size_t stop_after_lines = SIZE_MAX) : stop_after_(stop_after_lines) {}
  void OnLog(std::string_view line) override {
    log += std::string(line) + "\n";
    ++lines_;
  }
  bool StopRequested() override { return lines_ >= stop_after_; }
  std::string log;

 private:
  size_t stop_after_, lines_ = 0;
};

struct Outcome {
  std::string log, error, files;
};

// A tree of three areas, spoilt by `spoil`, and an output folder that holds
// older pairs of two layers' names.
struct Scenario {
  const char* name;
  void (*spoil)(const std::string& map_folder);
};

const Scenario kScenarios[] = {
    {"clean", [](const std::string&) {}},
    {"bad coordinate in a middle layer",
     [](const std::string& map) {
       WriteTextFile(map + "/b/gaiku/gaiku.arc",
                     "H,S,a,b,c,d,e,f,1,2,x,y\r\nL1108,1,1,1\r\n12.5x,3\r\n");
     }},
    {"missing attribute file of a polygon layer",
     [](const std::string& map) { fs::remove(map + "/c/tatemono/tatemono.atr"); }},
    {"count past the end in the first layer",
     [](const std::string& map) {
       WriteTextFile(map + "/c/road/roadntwk.arc",
                     "H,S,a,b,c,d,e,f,1,2,x,y\r\nL2110,1,1,5\r\n1,2\r\n");
     }},
    {"two layers fail: the earlier in table order is reported",
     [](const std::string& map) {
       WriteTextFile(map + "/c/road/roadntwk.arc", "H,S,a,b,c,d,e,f,1,2,x,y\r\nL2110,1,1,x\r\n");
       WriteTextFile(map + "/A/others/zyouti.pgn",
                     "H,S,a,b,c,d,e,f,1,2,x,y\r\nA6241,1,1\r\n1x\r\n");
       fs::remove(map + "/A/kijunten/sankaku.atr");
     }},
    {"bad arc reference in the last polygon layer",
     [](const std::string& map) {
       WriteTextFile(map + "/A/others/zyouti.pgn",
                     "H,S,a,b,c,d,e,f,1,2,x,y\r\nA6200,1,1\r\n1x\r\n");
     }},
};

std::string PrepareMapFolder(const Scenario& scenario) {
  const std::string map = MakeTempFolder("map");
  WriteArea(map, "b", 1);
  WriteArea(map, "A", 2);
  WriteArea(map, "c", 3);
  scenario.spoil(map);
  return map;
}

std::string PrepareOutputFolder() {
  const std::string out = MakeTempFolder("out");
  for (const char* name : {"Gaiku_Gaiku_Pgn", "Zukaku_Pgn", "Tatemono_Koukyou_Pgn"}) {
    WriteTextFile(out + "/" + name + ".mif", "older mif");
    WriteTextFile(out + "/" + name + ".mid", "older mid");
  }
  return out;
}

Outcome ConvertWithJobs(const std::string& map, int jobs) {
  ConversionSettings settings;
  settings.map_folders = {map};
  settings.output_folder = PrepareOutputFolder();
  settings.groups.fill(true);
  settings.jobs = jobs;
  RecordingObserver observer;
  Outcome outcome;
  try {
    RunConversion(settings, observer);
  } catch (const ConversionError& e) {
    outcome.error = DescribeError(e);
  }
  outcome.log = observer.log;
  outcome.files = FolderDigest(settings.output_folder);
  fs::remove_all(settings.output_folder);
  return outcome;
}

TEST(ConcurrentRunTest, LogErrorAndFilesEqualTheOneJobRun) {
  for (const Scenario& scenario : kScenarios) {
    const std::string map = PrepareMapFolder(scenario);
    const Outcome one = ConvertWithJobs(map, 1);
    EXPECT_EQ(scenario.name == std::string("clean"), one.error.empty()) << scenario.name;
    for (int jobs : {2, 3, 8}) {
      // Several times each: the workers' timing differs from run to run.
      for (int repeat = 0; repeat < 3; ++repeat) {
        const Outcome many = ConvertWithJobs(map, jobs);
        EXPECT_EQ(many.error, one.error) << scenario.name << ", jobs " << jobs;
        EXPECT_EQ(many.log, one.log) << scenario.name << ", jobs " << jobs;
        EXPECT_TRUE(many.files == one.files) << scenario.name << ", jobs " << jobs;
      }
    }
    fs::remove_all(map);
  }
}

// A disk that refuses one layer's file: the layers before it are kept, the
// same error is reported, nothing of the later layers remains.
TEST(ConcurrentRunTest, FailingOutputFileEqualsTheOneJobRun) {
  const std::string map = PrepareMapFolder(kScenarios[0]);
  SetFileFaultHook([](FileOp op, const std::string& path) {
    const bool refused = path.find("Mizu_Kasen_Pgn.mid") != std::string::npos;
    return refused && (op == FileOp::kWrite || op == FileOp::kCreate) ? ENOSPC : 0;
  });
  const Outcome one = ConvertWithJobs(map, 1);
  EXPECT_NE(one.error.find("ディスクがいっぱいです"), std::string::npos) << one.error;
  for (int jobs : {2, 4}) {
    const Outcome many = ConvertWithJobs(map, jobs);
    EXPECT_EQ(many.error, one.error);
    EXPECT_EQ(many.log, one.log);
    EXPECT_TRUE(many.files == one.files) << "jobs " << jobs;
  }
  SetFileFaultHook(nullptr);
  fs::remove_all(map);
}

TEST(ConcurrentRunTest, StopRequestEndsEveryWorkerAndLeavesNoTemporaries) {
  const std::string map = PrepareMapFolder(kScenarios[0]);
  for (size_t stop_after : {1, 5, 20}) {
    ConversionSettings settings;
    settings.map_folders = {map};
    settings.output_folder = MakeTempFolder("out");
    settings.groups.fill(true);
    settings.jobs = 2;
    RecordingObserver observer(stop_after);
    EXPECT_THROW(RunConversion(settings, observer), ConversionCancelled);
    // Whole pairs of a leading part of the table, nothing hidden.
    size_t files = 0;
    for (const auto& entry : fs::directory_iterator(settings.output_folder)) {
      EXPECT_NE(entry.path().filename().string()[0], '.') << entry.path();
      ++files;
    }
    EXPECT_EQ(files % 2, 0u);
    EXPECT_LT(files, 62u);
    fs::remove_all(settings.output_folder);
  }
  fs::remove_all(map);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// The command line: standard output, standard error, exit status and files.
TEST(ConcurrentRunTest, CommandLineOutputEqualsTheOneJobRun) {
  for (const Scenario& scenario : {kScenarios[0], kScenarios[1]}) {
    const std::string map = PrepareMapFolder(scenario);
    std::string first;
    for (int jobs : {1, 2, 4}) {
      const std::string out = PrepareOutputFolder();
      const std::string command = std::string("'") + PELMORA_CONVERT + "' --no-progress -j " +
                                  std::to_string(jobs) + " -o '" + out + "' '" + map + "' > '" +
                                  out + ".stdout' 2> '" + out + ".stderr'";
      const int status = std::system(command.c_str());
      ASSERT_TRUE(WIFEXITED(status));
      const std::string result = "exit " + std::to_string(WEXITSTATUS(status)) + "\n" +
                                 ReadFile(out + ".stdout") + "--\n" + ReadFile(out + ".stderr") +
                                 "--\n" + FolderDigest(out);
      if (jobs == 1) first = result;
      EXPECT_TRUE(result == first) << scenario.name << ", jobs " << jobs;
      fs::remove_all(out);
      fs::remove(out + ".stdout");
      fs::remove(out + ".stderr");
    }
    fs::remove_all(map);
  }
}

}  // namespace
}  // namespace pelmora
