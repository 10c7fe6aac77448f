// pelmora-convert.exe as Windows users give it paths and meet the system:
// drive letters with "\" or "/", UNC and long paths, Japanese folder names,
// two jobs run after run, a file another process holds open, a second run
// into a folder, and a stop through a console control event. Run under wine
// in make windows; built for Windows only.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/output/output_folder_lock.hpp"
#include "e2e/cli_runner.hpp"

namespace pelmora::testing_support {
namespace {

std::wstring Wide(const std::string& utf8) {
  return WideText(utf8);
}

std::string Utf8(const std::wstring& wide) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr,
                                    0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), n,
                      nullptr, nullptr);
  return utf8;
}

// A path the test itself can use at any length: the long-path form.
fs::path Long(const std::string& utf8) {
  std::wstring wide = Wide(utf8);
  std::replace(wide.begin(), wide.end(), L'/', L'\\');
  return fs::path(L"\\\\?\\" + wide);
}

// Copies the files under from into to, folder by folder.
void CopyTree(const fs::path& from, const fs::path& to) {
  fs::create_directories(to);
  for (const auto& entry : fs::directory_iterator(from)) {
    const fs::path target = to / entry.path().filename();
    if (entry.is_directory()) {
      CopyTree(entry.path(), target);
    } else {
      fs::copy_file(entry.path(), target, fs::copy_options::overwrite_existing);
    }
  }
}

// The bytes of a file through the wide API, at any length of path (the C
// runtime's streams stop at 260 characters under wine).
std::string ReadBytes(const fs::path& path) {
  HANDLE file = CreateFileW(path.wstring().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "(cannot be opened)";
  std::string bytes;
  char buffer[65536];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  CloseHandle(file);
  return bytes;
}

// Removes a tree of any length of path (std::filesystem stops at 260
// characters under wine).
void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(folder + L"\\" + name);
      } else {
        DeleteFileW((folder + L"\\" + name).c_str());
      }
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(folder.c_str());
}

// The MIF and MID files of a folder, by name.
std::map<std::string, std::string> Outputs(const std::string& folder) {
  // FindFirstFileW: the C runtime's folder listing stops at 260 characters.
  std::map<std::string, std::string> files;
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW((Long(folder).wstring() + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return files;
  do {
    const std::string name = Utf8(found.cFileName);
    if (name.ends_with(".mif") || name.ends_with(".mid")) {
      files[name] = ReadBytes(Long(folder + "\\" + name));
    }
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return files;
}

class WindowsCliTest : public ::testing::Test {
 protected:
  WindowsCliTest() {
    // The scratch folder as a full path with a drive letter and "\".
    wchar_t full[MAX_PATH];
    GetFullPathNameW(tree_.root().wstring().c_str(), MAX_PATH, full, nullptr);
    root_ = Utf8(full);
    scratch_ = tree_.root();
  }

  // The bundled sample copied to folder (created with its parents).
  void CopySample(const std::string& folder) {
    CopyTree(fs::path(PELMORA_SOURCE_DIR) / "samples/mapdata", Long(folder));
  }

  CliResult Convert(const std::string& map, const std::string& out,
                    std::vector<std::string> extra = {}) {
    fs::create_directories(Long(out));
    std::vector<std::string> args = {"--no-progress", "--coordsys", "8"};
    args.insert(args.end(), extra.begin(), extra.end());
    args.insert(args.end(), {"-o", out, map});
    return RunCli(args, scratch_);
  }

  // The files the sample gives from a plain path.
  const std::map<std::string, std::string>& Reference() {
    if (reference_.empty()) {
      CopySample(root_ + "\\plain\\map");
      EXPECT_EQ(Convert(root_ + "\\plain\\map", root_ + "\\plain\\out").status, 0);
      reference_ = Outputs(root_ + "\\plain\\out");
    }
    return reference_;
  }

  TempTree tree_;
  std::string root_;
  fs::path scratch_;
  std::map<std::string, std::string> reference_;
};

TEST_F(WindowsCliTest, PathsAsUsersTypeThemGiveTheSameFiles) {
  ASSERT_EQ(Reference().size(), 62u);
  std::string deep = root_ + "\\long";
  while (deep.size() < 300) deep += "\\folder-with-a-rather-long-name";
  struct Case {
    const char* name;
    std::string map, out;
  };
  for (const Case& c : std::vector<Case>{
           {"drive letter and \\", root_ + "\\a\\map", root_ + "\\a\\out"},
           {"forward slashes", root_ + "/b/map", root_ + "/b/out"},
           {"Japanese names", root_ + "\\数値地図\\東京都", root_ + "\\出力 フォルダ"},
           {"over 260 characters", deep + "\\map", deep + "\\out"},
       }) {
    CopySample(c.map);
    const CliResult r = Convert(c.map, c.out, {"--report", c.out + "\\report.json"});
    EXPECT_EQ(r.status, 0) << c.name << "\n" << r.err;
    const auto outputs = Outputs(c.out);
    EXPECT_EQ(outputs.size(), Reference().size()) << c.name;
    for (const auto& [name, bytes] : Reference()) {
      EXPECT_TRUE(outputs.contains(name) && outputs.at(name) == bytes) << c.name << ": " << name;
    }
    EXPECT_TRUE(fs::exists(Long(c.out + "\\report.json"))) << c.name;
  }
  RemoveTree(Long(root_ + "\\long").wstring());
}

TEST_F(WindowsCliTest, UncPathsGiveTheSameFiles) {
  // The administrative share of the drive, where the system offers one.
  const std::string unc = "\\\\localhost\\" + root_.substr(0, 1) + "$" + root_.substr(2);
  if (GetFileAttributesW(Wide(unc).c_str()) == INVALID_FILE_ATTRIBUTES) {
    GTEST_SKIP() << "no administrative share here (wine has none): " << unc;
  }
  CopySample(root_ + "\\unc\\map");
  const CliResult r = Convert(unc + "\\unc\\map", unc + "\\unc\\out");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(Outputs(root_ + "\\unc\\out") == Reference());
}

// Worker threads that end must not crash the program (thread-local objects
// with destructors did, 7 runs in 7).
TEST_F(WindowsCliTest, TwoJobsRunAfterRunGiveTheSameFiles) {
  CopySample(root_ + "\\jobs\\map");
  for (int run = 0; run < 5; ++run) {
    const std::string out = root_ + "\\jobs\\out" + std::to_string(run);
    const CliResult r = Convert(root_ + "\\jobs\\map", out, {"--jobs", "2"});
    ASSERT_EQ(r.status, 0) << "run " << run << "\n" << r.err;
    EXPECT_TRUE(Outputs(out) == Reference()) << "run " << run;
  }
}

// An older file that another process holds open cannot be replaced: after
// the retries the run fails naming the file, and the older pair is whole.
TEST_F(WindowsCliTest, OlderFileHeldOpenByAnotherProcessSurvives) {
  CopySample(root_ + "\\held\\map");
  const std::string out = root_ + "\\held\\out";
  ASSERT_EQ(Convert(root_ + "\\held\\map", out, {"--layers", "zukaku"}).status, 0);
  const auto before = Outputs(out);
  HANDLE held = CreateFileW(Long(out + "\\Zukaku_Pgn.mif").c_str(), GENERIC_READ, FILE_SHARE_READ,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  const CliResult r = Convert(root_ + "\\held\\map", out, {"--layers", "zukaku"});
  CloseHandle(held);
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_NE(r.err.find("Zukaku_Pgn.mif"), std::string::npos) << r.err;
  EXPECT_TRUE(Outputs(out) == before);
  for (const auto& entry : fs::directory_iterator(Long(out))) {
    EXPECT_NE(entry.path().filename().wstring()[0], L'.') << entry.path().filename();
  }
}

TEST_F(WindowsCliTest, SecondRunIntoTheSameFolderIsRefused) {
  CopySample(root_ + "\\busy\\map");
  const std::string out = root_ + "\\busy\\out";
  fs::create_directories(Long(out));
  auto other_run = std::make_unique<OutputFolderLock>();
  ASSERT_EQ(other_run->Lock(out + "\\"), OutputFolderLock::State::kTaken);
  const CliResult r = Convert(root_ + "\\busy\\map", out);
  EXPECT_EQ(r.status, 2) << r.err;
  EXPECT_NE(r.err.find("別の変換が出力中です"), std::string::npos) << r.err;
  other_run.reset();
  EXPECT_EQ(Convert(root_ + "\\busy\\map", out).status, 0);
  EXPECT_FALSE(fs::exists(Long(out + "\\.pelmora.lock")));
}

// Ctrl-Break sent to the run's process group stops it like Ctrl-C: exit 130,
// no temporary file left.
TEST_F(WindowsCliTest, ConsoleControlEventStopsTheRun) {
  // Enough areas that the run is still converting when the event comes.
  const std::string map = root_ + "\\stop\\map";
  for (int i = 0; i < 60; ++i) {
    const std::string area = std::to_string(13101 + i % 3);
    CopyTree(fs::path(PELMORA_SOURCE_DIR) / "samples/mapdata" / area,
             Long(map + "\\copy" + std::to_string(i)));
  }
  const std::string out = root_ + "\\stop\\out";
  fs::create_directories(Long(out));
  std::wstring command = QuotedArgument(Wide(PELMORA_CONVERT)) + L" --no-progress -o " +
                         QuotedArgument(Wide(out)) + L" " + QuotedArgument(Wide(map));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE,
                             CREATE_NEW_PROCESS_GROUP, nullptr, nullptr, &startup, &process));
  Sleep(300);
  const bool sent = GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, process.dwProcessId);
  const bool ended = WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0;
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  if (!ended) TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  if (!sent || code == 0) {
    GTEST_SKIP() << "the console control event did not reach the run (wine without a console "
                    "delivers none); exit "
                 << code;
  }
  EXPECT_EQ(code, 130u);
  for (const auto& entry : fs::directory_iterator(Long(out))) {
    EXPECT_EQ(entry.path().filename().wstring().find(L".tmp"), std::wstring::npos);
  }
}

}  // namespace
}  // namespace pelmora::testing_support
