// What a killed run leaves in the output folder, cleared by the next run:
// every temporary name a writer uses (with the endings GDAL and SQLite append
// to it) of a process that no longer runs; never a running process's files,
// never a name of the user's.
#include <gtest/gtest.h>
#include <unistd.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/wait.h>
#endif

#include <filesystem>
#include <fstream>
#include <set>

#include "../support/map_tree.hpp"
#include "core/output/output_folder_lock.hpp"
#include "core/output/staged_files.hpp"

namespace pelmora {
namespace {

namespace fs = std::filesystem;

// The id of a process that has ended.
std::string EndedPid() {
#ifdef _WIN32
  // No fork: a short-lived process of the system's shell.
  wchar_t command[] = L"cmd.exe /c exit 0";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, command, nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                      &startup, &process)) {
    return "999999999";
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return std::to_string(process.dwProcessId);
#else
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);
  return std::to_string(child);
#endif
}

// Names are UTF-8 text (a std::string path would be read in the ANSI code
// page on Windows).
fs::path Utf8Name(const std::string& name) {
  return fs::path(std::u8string(name.begin(), name.end()));
}

std::set<std::string> NamesIn(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::u8string name = entry.path().filename().u8string();
    names.insert(std::string(name.begin(), name.end()));
  }
  return names;
}

TEST(Leftovers, TemporaryNamesOfEndedRunsGoOthersStay) {
  const std::string dead = EndedPid();
  const std::string live = std::to_string(::getpid());
  struct Case {
    std::string name;
    bool removed;
  };
  const std::vector<Case> cases = {
      // MIF pairs and the files a GDAL format writes under a temporary stem
      {".Doro_Doro_Arc.mif." + dead + "-0.tmp", true},
      {".Doro_Doro_Arc." + dead + "-1.tmp.shp", true},
      {".Doro_Doro_Arc." + dead + "-1.tmp.dbf", true},
      {".Doro_Doro_Arc." + dead + "-1.tmp.cpg", true},
      {".Doro_Doro_Arc." + dead + "-2.tmp.geojson", true},
      {".Doro_Doro_Arc." + dead + "-3.tmp.fgb", true},
      // a GeoPackage being built, SQLite's side files, a layer's buffer
      {".city.gpkg." + dead + "-4.tmp", true},
      {".city.gpkg." + dead + "-4.tmp-journal", true},
      {".city.gpkg." + dead + "-4.tmp-wal", true},
      {".city.gpkg." + dead + "-4.tmp-shm", true},
      {".city.gpkg.Doro_Doro_Arc." + dead + "-5.tmp.fgb", true},
      {".city.gpkg." + dead + "-4.tmp.tmp_rtree_Doro_Doro_Arc.db", true},
      // a running process's files
      {".Doro_Doro_Arc.mif." + live + "-0.tmp", false},
      {".city.gpkg." + live + "-1.tmp-journal", false},
      {".Doro_Doro_Arc." + live + "-2.tmp.shp", false},
      {".Doro_Doro_Arc.mif." + live + "-3.old", false},
      // names of the user's
      {"city.gpkg", false},
      {"Doro_Doro_Arc.shp", false},
      {".keep.tmp", false},
      {".x." + dead + "-0.tmp copy", false},
      {".x." + dead + "-0.tmp~", false},
      {".x." + dead + "-0.tmp." + std::string(64, 'a'), false},
      {".x." + dead + "-0.tmp. shp", false},
      {".x." + dead + "-0.tmp.メモ", false},
      {"x." + dead + "-0.tmp.shp", false},
      {".x." + dead + "-y.tmp.shp", false},
      {".x." + dead + "-0.tmpfile", false},
  };
  const fs::path folder = testing::MakeTempFolder("leftovers");
  std::set<std::string> kept;
  for (const Case& c : cases) {
    std::ofstream(folder / Utf8Name(c.name)) << "x";
    if (!c.removed) kept.insert(c.name);
  }
  ClearLeftovers(folder.string() + "/");
  EXPECT_EQ(NamesIn(folder), kept);
  fs::remove_all(folder);
}

// Backups of a running process stay where they are, even when their file is
// missing: that process puts them back itself.
TEST(Leftovers, BackupsOfARunningProcessAreNotRestored) {
  const fs::path folder = testing::MakeTempFolder("leftovers");
  const std::string backup = ".Doro_Doro_Arc.mif." + std::to_string(::getpid()) + "-0.old";
  const std::string ended = ".Gaiku_Gaiku_Arc.mif." + EndedPid() + "-1.old";
  std::ofstream(folder / backup) << "older";
  std::ofstream(folder / ended) << "older";
  ClearLeftovers(folder.string() + "/");
  EXPECT_EQ(NamesIn(folder), (std::set<std::string>{backup, "Gaiku_Gaiku_Arc.mif"}));
  fs::remove_all(folder);
}

// A temporary path a writer makes is one the cleanup recognises, with or
// without a library's ending.
TEST(Leftovers, EveryTemporaryPathIsRecognised) {
  const fs::path folder = testing::MakeTempFolder("leftovers");
  const std::string path = TemporaryPath(folder.string() + "/", "city.gpkg");
  // Ours is a running process: its names are recognised but kept. Renamed
  // to the pid of an ended run they go.
  const std::string pid = std::to_string(::getpid());
  const std::string dead = EndedPid();
  for (const char* ending : {"", "-journal", ".fgb"}) {
    std::string name = fs::path(path + ending).filename().string();
    name.replace(name.find(pid), pid.size(), dead);
    std::ofstream(folder / name) << "x";
  }
  ClearLeftovers(folder.string() + "/");
  EXPECT_TRUE(NamesIn(folder).empty());
  fs::remove_all(folder);
}

}  // namespace
}  // namespace pelmora
