// A stop of a GeoPackage run (SIGINT, as Ctrl-C gives it) while a layer is
// being copied into the file: the run ends at once, with the older file of
// the name as it was and no temporary file left.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>

#include "../e2e/cli_runner.hpp"
#include "../support/temp_tree.hpp"
#include "generator.hpp"

namespace pelmora::testing_support {
namespace {

// The names in folder ending with ending.
std::set<std::string> NamesEndingWith(const std::string& folder, const std::string& ending) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename();
    if (name.ends_with(ending)) names.insert(name);
  }
  return names;
}

// Whether process pid has a layer's buffer (a FlatGeobuf file beside the
// GeoPackage) open for reading: the layer is being copied into the file.
bool CopiesALayer(pid_t pid) {
  const std::string fds = "/proc/" + std::to_string(pid) + "/fd";
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(fds, error)) {
    if (!fs::read_symlink(entry.path(), error).string().ends_with(".fgb")) continue;
    std::ifstream info("/proc/" + std::to_string(pid) + "/fdinfo/" +
                       entry.path().filename().string());
    std::string key, flags;
    while (info >> key >> flags && key != "flags:") {
    }
    if (key == "flags:" && (std::stoi(flags, nullptr, 8) & O_ACCMODE) == O_RDONLY) return true;
  }
  return false;
}

TEST(GdalStopTest, StopDuringTheCopyIntoTheGeoPackageEndsTheRunAtOnce) {
  TempTree tree;
  gen::GenOptions options;
  options.out = tree.Path("data");
  options.areas = 10;
  options.size_mb = 4;  // the first layer's table takes about a second
  gen::GenerateMapData(options);
  tree.MakeDir("out");
  const std::string sample = std::string(PELMORA_SOURCE_DIR) + "/samples/mapdata";
  const std::string gpkg = tree.Path("out/city.gpkg");
  ASSERT_EQ(RunCli({"-q", "--layers", "road", "-o", gpkg, sample}, tree.root()).status, 0);
  const std::string older = tree.ReadBytes("out/city.gpkg");
  for (const std::string jobs : {"1", "2"}) {
    SCOPED_TRACE(jobs + " jobs");
    posix_spawn_file_actions_t quiet;  // the data's warnings are not the test's
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&quiet, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const pid_t pid =
        SpawnCli({"-q", "--coordsys", "8", "-j", jobs, "-o", gpkg, options.out}, &quiet);
    posix_spawn_file_actions_destroy(&quiet);
    ASSERT_GT(pid, 0);
    int status = 0;
    bool copying = false;
    while (!copying && waitpid(pid, &status, WNOHANG) == 0) {
      copying = CopiesALayer(pid);
      if (!copying) ::usleep(200);
    }
    ASSERT_TRUE(copying) << "the run ended before its first copy";
    const auto stop = std::chrono::steady_clock::now();
    ::kill(pid, SIGINT);
    waitpid(pid, &status, 0);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - stop;
    EXPECT_LT(took.count(), 0.5) << "seconds from the stop to the end of the run";
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 128 + SIGINT);
    EXPECT_EQ(tree.ReadBytes("out/city.gpkg"), older);
    EXPECT_EQ(NamesEndingWith(tree.Path("out"), ""), std::set<std::string>{"city.gpkg"});
  }
}

}  // namespace
}  // namespace pelmora::testing_support
