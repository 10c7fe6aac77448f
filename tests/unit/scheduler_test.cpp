// Every run of the scheduler, with any number of jobs and with or without
// layers that share files converting each area together, must be
// indistinguishable from the plain reference that converts one layer after
// another: log lines, the error reported, and every file left in the output
// folder.
#include "core/conversion/scheduler.hpp"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/wait.h>
#endif

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <mutex>
#include <sstream>

#include "core/conversion/kind_converters.hpp"
#include "core/conversion/run.hpp"
#include "core/input/input_description.hpp"
#include "core/io/file_faults.hpp"
#include "e2e/cli_runner.hpp"
#include "support/map_tree.hpp"

namespace pelmora {
namespace {

namespace fs = std::filesystem;
using testing::FolderDigest;
using testing::MakeTempFolder;
using testing::WriteArea;
using testing::WriteTextFile;

class RecordingObserver : public LogLineObserver {
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
    // Layers that read one file: the line layers before the failing one
    // pass over this area, the polygon layers that need the file fail.
    {"shared arc file missing in one area",
     [](const std::string& map) { fs::remove(map + "/A/others/others.arc"); }},
    // Only the third of the layers reading the file takes the bad record.
    {"bad coordinate in a shared file, met by a later layer",
     [](const std::string& map) {
       WriteTextFile(map + "/c/gyousei/gyousei.arc",
                     "H,S,a,b,c,d,e,f,1,2,x,y\r\nL1101,1,1,1\r\n1,2\r\nL1104,1,2,1\r\n3,4x\r\n");
     }},
    {"shared attribute file is a folder",
     [](const std::string& map) {
       fs::remove(map + "/b/others/zyouti.atr");
       fs::create_directory(map + "/b/others/zyouti.atr");
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

// The reference: each layer converted alone and committed, one after
// another, reporting straight to the observer; no scheduler.
class ReferenceReporter : public LayerReporter {
 public:
  ReferenceReporter(const LayerDef& layer, ConversionObserver& observer)
      : layer_(layer), observer_(observer) {}
  void LayerStarted() override { observer_.OnLayerStarted({layer_.base_name, layer_.log_text}); }
  void InputFileStarted(std::string_view area, std::string_view path) override {
    observer_.OnInputFileStarted({layer_.base_name, area, path});
  }
  void BytesDone(uint64_t) override {}
  bool StopRequested() override { return observer_.StopRequested(); }
  void Warn(WarningKind kind, std::string_view text, std::string_view file, int line) override {
    observer_.OnWarning({kind, text, file, line});
  }

 private:
  const LayerDef& layer_;
  ConversionObserver& observer_;
};

// The folders are walked as described, by default as they stand now.
Outcome ConvertOneByOne(const std::vector<std::string>& maps,
                        const InputDescription* described = nullptr) {
  const InputDescription input = described ? *described : DescribeInput(maps);
  ConversionSettings settings;
  settings.map_folders = maps;
  settings.output_folder = PrepareOutputFolder() + "/";
  RecordingObserver observer;
  Outcome outcome;
  try {
    for (const LayerDef& layer : LayerTable()) {
      ReferenceReporter reporter(layer, observer);
      auto converter = MakeLayerConverter(layer, reporter);
      converter->Begin(settings, settings.output_folder);
      for (size_t i = 0; i < input.folders.size(); ++i) {
        if (input.folders[i].listing_error != 0) ThrowListingError(input.folders[i]);
        for (const AreaDescription& area : input.AreasOf(i)) converter->ConvertArea(area, nullptr);
      }
      converter->Finish()->Commit();
    }
  } catch (const ConversionError& e) {
    outcome.error = DescribeError(e);
  }
  outcome.log = observer.log;
  outcome.files = FolderDigest(settings.output_folder);
  fs::remove_all(settings.output_folder);
  return outcome;
}

// A whole run; given a description, only its layers, over the areas described.
Outcome ConvertWithJobs(const std::vector<std::string>& maps, int jobs, bool share_inputs,
                        const InputDescription* described = nullptr) {
  ConversionSettings settings;
  settings.map_folders = maps;
  settings.output_folder = PrepareOutputFolder();
  settings.groups.fill(true);
  settings.jobs = jobs;
  settings.share_inputs = share_inputs;
  RecordingObserver observer;
  Outcome outcome;
  try {
    if (described) {
      std::vector<const LayerDef*> layers;
      for (const LayerDef& layer : LayerTable()) layers.push_back(&layer);
      RunLayers(layers, settings, *described, settings.output_folder + "/", observer);
    } else {
      RunConversion(settings, observer);
    }
  } catch (const ConversionError& e) {
    outcome.error = DescribeError(e);
  }
  outcome.log = observer.log;
  outcome.files = FolderDigest(settings.output_folder);
  fs::remove_all(settings.output_folder);
  return outcome;
}

// Compares every way of running with the reference run of maps.
// before_run(reference) is called before each conversion.
void ExpectEveryRunEqualsTheReference(const std::vector<std::string>& maps, const char* name,
                                      bool clean, const std::function<void(bool)>& before_run = {},
                                      const InputDescription* described = nullptr) {
  if (before_run) before_run(true);
  const Outcome one = ConvertOneByOne(maps, described);
  EXPECT_EQ(clean, one.error.empty()) << name << ": " << one.error;
  for (bool share_inputs : {false, true}) {
    for (int jobs : {1, 2, 3, 8}) {
      // Several times each: the workers' timing differs from run to run.
      for (int repeat = 0; repeat < 3; ++repeat) {
        if (before_run) before_run(false);
        const Outcome many = ConvertWithJobs(maps, jobs, share_inputs, described);
        const std::string what = std::string(name) + ", jobs " + std::to_string(jobs) +
                                 (share_inputs ? ", shared inputs" : "");
        EXPECT_EQ(many.error, one.error) << what;
        EXPECT_EQ(many.log, one.log) << what;
        EXPECT_TRUE(many.files == one.files) << what;
      }
    }
  }
}

TEST(SchedulerTest, LogErrorAndFilesEqualTheOneJobRun) {
  for (const Scenario& scenario : kScenarios) {
    const std::string map = PrepareMapFolder(scenario);
    ExpectEveryRunEqualsTheReference({map}, scenario.name, scenario.name == std::string("clean"));
    fs::remove_all(map);
  }
}

// When the layers of an arc file share it, each coordinate line is read once
// for the line layer and every polygon that uses it. Lines that only the
// general rules read, and a vertex whose sum with the origin overflows (in an
// arc of another code, which only a polygon reaches), must come out of the
// shared reading as each layer's own reading gives them.
TEST(SchedulerTest, ArcLinesReadOnceForSeveralLayersEqualTheOneJobRun) {
  const std::string header = "H,S,a,b,c,d,e,f,1e308,2,x,y\r\n";
  struct Case {
    const char* name;
    const char* arcs;
    const char* polygons;
    bool clean;
  };
  const Case kCases[] = {
      {"numbers in other forms",
       "L1108,1,1,3\r\n 1.5 ,2\r\n1e2,+3\r\n.5,-0\r\nL1108,1,2,2\r\n4,5\r\n\"6\",7\r\n",
       "A1108,1,2\r\n1\r\n-2\r\nA1108,2,2\r\n2\r\n-1\r\nA1108,3,1\r\n1\r\n", true},
      {"a sum that overflows",
       "L1108,1,1,2\r\n1,2\r\n3,4\r\nL9999,1,2,1\r\n1.7976931348623157e308,5\r\n",
       "A1108,1,2\r\n1\r\n-2\r\n", false},
  };
  for (const Case& c : kCases) {
    const std::string map = PrepareMapFolder(kScenarios[0]);
    WriteTextFile(map + "/b/gaiku/gaiku.arc", header + c.arcs);
    WriteTextFile(map + "/b/gaiku/gaiku.pgn", header + c.polygons);
    ExpectEveryRunEqualsTheReference({map}, c.name, c.clean);
    fs::remove_all(map);
  }
}

// A second map-data folder that could not be listed: every layer converts
// the first folder's areas before it fails on the second.
TEST(SchedulerTest, UnlistableSecondFolderEqualsTheOneJobRun) {
  const std::string map = PrepareMapFolder(kScenarios[0]);
  const std::string second = PrepareMapFolder(kScenarios[0]);
  SetFileFaultHook([=](FileOp op, const std::string& path) {
    return op == FileOp::kListFolder && path == second ? ENOENT : 0;
  });
  const InputDescription input = DescribeInput({map, second});
  SetFileFaultHook(nullptr);
  ASSERT_EQ(input.folders.at(1).listing_error, ENOENT);
  ExpectEveryRunEqualsTheReference({map, second}, "unlistable second folder", false, {}, &input);
  fs::remove_all(map);
  fs::remove_all(second);
}

// A run lists each map-data folder once, whatever the number of jobs and
// units: the checks, the area warnings, the sizes and every layer read that
// one listing, so they cannot disagree about the areas.
TEST(SchedulerTest, EachMapFolderIsListedOncePerRun) {
  const std::string map = PrepareMapFolder(kScenarios[0]);
  const std::string second = PrepareMapFolder(kScenarios[0]);
  static std::map<std::string, int> listings;
  static std::mutex mutex;
  SetFileFaultHook([](FileOp op, const std::string& path) {
    if (op == FileOp::kListFolder) {
      std::lock_guard lock(mutex);
      ++listings[path];
    }
    return 0;
  });
  for (bool share_inputs : {false, true}) {
    for (int jobs : {1, 3}) {
      listings.clear();
      EXPECT_EQ(ConvertWithJobs({map, second}, jobs, share_inputs).error, "");
      const std::map<std::string, int> once = {{map, 1}, {second, 1}};
      EXPECT_EQ(listings, once) << "jobs " << jobs << (share_inputs ? ", shared inputs" : "");
    }
  }
  SetFileFaultHook(nullptr);
  fs::remove_all(map);
  fs::remove_all(second);
}

// Layers that read a common file get it read once per area when they share
// inputs, and once per layer and area otherwise.
TEST(SchedulerTest, SharedInputsAreOpenedOncePerArea) {
  const std::string map = PrepareMapFolder(kScenarios[0]);
  static std::map<std::string, int> opens;
  static std::mutex mutex;
  SetFileFaultHook([](FileOp op, const std::string& path) {
    if (op == FileOp::kOpenRead) {
      std::lock_guard lock(mutex);
      ++opens[fs::path(path).filename().string()];
    }
    return 0;
  });
  struct Expected {
    const char* file;
    int per_layer, shared;  // opens in three areas
  };
  const Expected kExpected[] = {
      {"gyousei.arc", 3 * 6, 3},  // four line layers, two polygon layers
      {"others.arc", 3 * 13, 3},  // seven line layers, six polygon layers
      {"zyouti.pgn", 3 * 6, 3},   // six polygon layers
      {"zyouti.atr", 3 * 5, 3},   // five of them join its attributes
      {"roadntwk.arc", 3, 3},     // read by one layer
  };
  for (bool share_inputs : {false, true}) {
    opens.clear();
    const Outcome outcome = ConvertWithJobs({map}, 2, share_inputs);
    EXPECT_EQ(outcome.error, "");
    for (const Expected& expected : kExpected) {
      EXPECT_EQ(opens[expected.file], share_inputs ? expected.shared : expected.per_layer)
          << expected.file << (share_inputs ? ", shared" : "");
    }
  }
  SetFileFaultHook(nullptr);
  fs::remove_all(map);
}

// A disk that refuses one layer's file: the layers before it are kept, the
// same error is reported, nothing of the later layers remains.
TEST(SchedulerTest, FailingOutputFileEqualsTheOneJobRun) {
  const std::string map = PrepareMapFolder(kScenarios[0]);
  SetFileFaultHook([](FileOp op, const std::string& path) {
    const bool refused = path.find("Mizu_Kasen_Pgn.mid") != std::string::npos;
    return refused && (op == FileOp::kWrite || op == FileOp::kCreate) ? ENOSPC : 0;
  });
  const Outcome one = ConvertWithJobs({map}, 1, false);
  EXPECT_NE(one.error.find("ディスクがいっぱいです"), std::string::npos) << one.error;
  for (int jobs : {1, 2, 4}) {
    const Outcome many = ConvertWithJobs({map}, jobs, true);
    EXPECT_EQ(many.error, one.error);
    EXPECT_EQ(many.log, one.log);
    EXPECT_TRUE(many.files == one.files) << "jobs " << jobs;
  }
  SetFileFaultHook(nullptr);
  fs::remove_all(map);
}

TEST(SchedulerTest, StopRequestEndsEveryWorkerAndLeavesNoTemporaries) {
  const std::string map = PrepareMapFolder(kScenarios[0]);
  for (size_t stop_after : {1, 5, 20, 60}) {
    ConversionSettings settings;
    settings.map_folders = {map};
    settings.output_folder = MakeTempFolder("out");
    settings.groups.fill(true);
    settings.jobs = stop_after % 2 == 0 ? 2 : 1;
    settings.share_inputs = true;
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
TEST(SchedulerTest, CommandLineOutputEqualsTheOneJobRun) {
#ifdef _WIN32
  GTEST_SKIP() << "runs the program through a POSIX shell; on Windows the end-to-end tests and "
                  "scripts/check-windows-output compare one and two jobs";
#else
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
                                 testing_support::MaskElapsed(ReadFile(out + ".stdout")) + "--\n" +
                                 ReadFile(out + ".stderr") + "--\n" + FolderDigest(out);
      if (jobs == 1) first = result;
      EXPECT_TRUE(result == first) << scenario.name << ", jobs " << jobs;
      fs::remove_all(out);
      fs::remove(out + ".stdout");
      fs::remove(out + ".stderr");
    }
    fs::remove_all(map);
  }
#endif
}

}  // namespace
}  // namespace pelmora
