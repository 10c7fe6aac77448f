// The command line meeting faults: what the user reads on standard error,
// the exit status, and what the output folder holds afterwards. Runs the
// real pelmora-convert.
// POSIX only: the runner forks, reads pipes as the program writes and sends
// signals. The Windows build checks its stop requests, its lock and its
// refusals in tests/windows/windows_cli_test.cpp.
#ifndef _WIN32
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <set>

#include "checks/output_check.hpp"
#include "fault_fixture.hpp"

namespace pelmora::faults {
namespace {

struct CliResult {
  int status = -1;  // exit status, or 128 + signal when killed
  std::string out, err;
};

// Runs pelmora-convert with args (after --coordsys 0). on_line sees each line of standard output
// as it comes, with the child's process id. With close_output, nobody reads
// the standard output: its pipe is closed at once.
CliResult RunCli(const std::vector<std::string>& args,
                 const std::function<void(const std::string&, pid_t)>& on_line = {},
                 bool close_output = false) {
  int out_pipe[2], err_pipe[2];
  if (::pipe(out_pipe) != 0 || ::pipe(err_pipe) != 0) throw std::runtime_error("pipe");
  pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(out_pipe[1], STDOUT_FILENO);
    ::dup2(err_pipe[1], STDERR_FILENO);
    ::close(out_pipe[0]);
    ::close(err_pipe[0]);
    // The fixture's area has no map-sheet file to take the zone from.
    static const std::string kCoordSys[] = {"--coordsys", "0"};
    std::vector<char*> argv{const_cast<char*>(PELMORA_CONVERT)};
    for (const std::string& arg : kCoordSys) argv.push_back(const_cast<char*>(arg.c_str()));
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    ::execv(PELMORA_CONVERT, argv.data());
    ::_exit(127);
  }
  ::close(out_pipe[1]);
  ::close(err_pipe[1]);
  CliResult result;
  if (close_output) ::close(out_pipe[0]);
  FILE* out = close_output ? ::fopen("/dev/null", "r") : ::fdopen(out_pipe[0], "r");
  char* line = nullptr;
  size_t capacity = 0;
  for (ssize_t n; (n = ::getline(&line, &capacity, out)) > 0;) {
    result.out.append(line, static_cast<size_t>(n));
    if (on_line) on_line(std::string(line, static_cast<size_t>(n) - (line[n - 1] == '\n')), pid);
  }
  std::free(line);
  std::fclose(out);
  char buffer[4096];
  for (ssize_t n; (n = ::read(err_pipe[0], buffer, sizeof buffer)) > 0;)
    result.err.append(buffer, n);
  ::close(err_pipe[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return result;
}

using CliFaultTest = FaultTest;

TEST_F(CliFaultTest, DataErrorNamesFileAndLine) {
  std::string arc = "H1,13101,a,b,c,d,e,1000,2000,x,y\r\n";
  for (int i = 0; i < 39; ++i) arc += "L1101,1," + std::to_string(i) + ",2\r\n1,2\r\n3,4\r\n";
  arc += "L1101,1,99,1\r\n1,12.5x\r\n";  // line 120 names the coordinate 12.5x
  WriteFile(area() / "gyousei/gyousei.arc", arc);
  CliResult result = RunCli({"-q", "-o", out().string(), map().string()});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err,
            "'12.5x' は浮動小数点数ではありません.\n13101/gyousei/gyousei.arc 120行目\n");
  EXPECT_EQ(checks::CheckOutputFolder(out(), 1), "");  // the road layer before it is complete
  EXPECT_TRUE(fs::exists(out() / "Doro_Doro_Arc.mif"));
}

TEST_F(CliFaultTest, MissingMapFolderNamesIt) {
  CliResult result = RunCli({"-q", "-o", out().string(), (root() / "nowhere").string()});
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err,
            "数値地図2500のフォルダ「" + (root() / "nowhere").string() + "」が見つかりません。\n");
  EXPECT_EQ(checks::CheckOutputFolder(out(), 0), "");
}

TEST_F(CliFaultTest, UnreadableInputEndsWithStatusOne) {
  WriteFile(area() / "gyousei/gyousei.arc", "");
  fs::resize_file(area() / "gyousei/gyousei.arc", 2ull << 30);
  CliResult result = RunCli({"-q", "--layers", "gyousei", "-o", out().string(), map().string()});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "ファイル \"" + (area() / "gyousei/gyousei.arc").string() +
                            "\" は大きすぎて読み込めません.\n13101/gyousei/gyousei.arc\n");
}

// Ctrl-C, SIGTERM or a closed terminal in the middle of the third layer: the two finished pairs
// stay, the third layer leaves nothing, the status tells the signal, and the run says that it
// stopped and what it kept.
class CliSignalTest : public FaultTest, public ::testing::WithParamInterface<int> {};

TEST_P(CliSignalTest, StopsCleanlyInTheMiddleOfALayer) {
  const int signal = GetParam();
  std::string arc = "H1,13101,a,b,c,d,e,1000,2000,x,y\r\nL1101,1,1,1\r\n1,2\r\n";
  arc.reserve(12'000'000);
  for (int i = 0; i < 300'000; ++i) arc += "L1104,1," + std::to_string(i) + ",2\r\n1,2\r\n3,4\r\n";
  WriteFile(area() / "gyousei/gyousei.arc", arc);
  bool sent = false;
  CliResult result = RunCli(
      {"--no-progress", "--layers", "gyousei", "-o", out().string(), map().string()},
      [&](const std::string& line, pid_t pid) {
        if (!sent && line.find("--> Gyousei_ChosonShiteitoshi_Arc.mif") != std::string::npos) {
          ::kill(pid, signal);
          sent = true;
        }
      });
  ASSERT_TRUE(sent);
  EXPECT_EQ(result.status, 128 + signal) << result.err;
  EXPECT_EQ(checks::CheckOutputFolder(out(), 2), "");
  EXPECT_TRUE(fs::exists(out() / "Gyousei_GunshiKukai_Arc.mid"));
  EXPECT_EQ(result.out.find("変換が終了しました。"), std::string::npos);
  EXPECT_TRUE(
      result.err.ends_with("\n変換を中止しました。\n書き出しを終えた 2 レイヤーを残しました "
                           "(Gyousei_Todofuken_Arc, Gyousei_GunshiKukai_Arc)。\n"))
      << result.err;
}

INSTANTIATE_TEST_SUITE_P(Signals, CliSignalTest, ::testing::Values(SIGINT, SIGTERM, SIGHUP),
                         [](const auto& info) { return std::string(sigabbrev_np(info.param)); });

// Nobody reads the log: the run still completes instead of dying of SIGPIPE
// with its temporary files left behind.
TEST_F(CliFaultTest, ClosedStandardOutputDoesNotKillTheRun) {
  CliResult result =
      RunCli({"--layers", "gyousei", "-o", out().string(), map().string()}, {}, true);
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(checks::CheckOutputFolder(out(), 6), "");
}

// A second run into the folder of a run still going is refused at once; the
// first, stopped by the test while it holds the folder, then ends as usual.
// The small run may end before the stop reaches it; waitid tells a stopped
// child from an ended one without reaping it, and such a try is repeated.
TEST_F(CliFaultTest, SecondRunIntoTheSameFolderIsRefused) {
  const std::vector<std::string> args = {
      "--no-progress", "-j", "1", "--layers", "gyousei", "-o", out().string(), map().string()};
  CliResult first, second;
  bool held = false;
  for (int attempt = 0; attempt < 20 && !held; ++attempt) {
    for (const fs::directory_entry& entry : fs::directory_iterator(out()))
      fs::remove_all(entry.path());
    bool asked = false;
    first = RunCli(args, [&](const std::string&, pid_t pid) {
      if (asked) return;
      asked = true;
      ::kill(pid, SIGSTOP);
      siginfo_t info{};
      if (::waitid(P_PID, static_cast<id_t>(pid), &info, WSTOPPED | WEXITED | WNOWAIT) != 0 ||
          info.si_code != CLD_STOPPED)
        return;  // ended before the stop: try again
      held = true;
      second = RunCli(args);
      ::kill(pid, SIGCONT);
    });
  }
  ASSERT_TRUE(held);
  EXPECT_EQ(second.status, 2);
  EXPECT_EQ(second.err,
            "MIFの出力先フォルダ「" + out().string() + "/」には別の変換が出力中です。\n");
  EXPECT_EQ(second.out, "");
  EXPECT_EQ(first.status, 0) << first.err;
  EXPECT_EQ(checks::CheckOutputFolder(out(), 6), "");
  // Once the first has ended, the folder is free again.
  EXPECT_EQ(RunCli(args).status, 0);
}

// A run killed outright (SIGKILL, power loss) cleans nothing up. The next
// run into the folder removes its temporary files, puts back an older pair
// it had set aside half way through replacing it, drops the backups of a
// replacement that was complete, and touches no other name.
TEST_F(CliFaultTest, NextRunClearsWhatAKilledRunLeft) {
  const fs::path o = out();
  WriteFile(o / ".Gyousei_Todofuken_Arc.mif.999999-0.tmp", "partial");
  WriteFile(o / ".Doro_Doro_Arc.mif.999999-1.old", "older mif");  // put back
  WriteFile(o / ".Doro_Doro_Arc.mid.999999-2.old", "older mid");
  WriteFile(o / "Doro_Doro_Arc.mif", "new mif");                // its MID had not taken its name
  WriteFile(o / ".Gaiku_Gaiku_Arc.mif.999999-3.old", "older");  // replaced: dropped
  WriteFile(o / "Gaiku_Gaiku_Arc.mif", "new");
  for (const char* name : {".keep.tmp", "Notes.1-2.tmp", ".x.1-y.tmp", ".mine.old"}) {
    WriteFile(o / name, "the user's");
  }
  CliResult result = RunCli({"-q", "--layers", "gyousei", "-o", o.string(), map().string()});
  ASSERT_EQ(result.status, 0) << result.err;
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(o)) {
    const std::string name = entry.path().filename();
    if (!name.starts_with("Gyousei_")) names.insert(name);  // the run's own pairs
  }
  EXPECT_EQ(names, (std::set<std::string>{".keep.tmp", "Notes.1-2.tmp", ".x.1-y.tmp", ".mine.old",
                                          "Doro_Doro_Arc.mif", "Doro_Doro_Arc.mid",
                                          "Gaiku_Gaiku_Arc.mif"}));
  EXPECT_EQ(ReadFile(o / "Doro_Doro_Arc.mif"), "older mif");
  EXPECT_EQ(ReadFile(o / "Doro_Doro_Arc.mid"), "older mid");
  EXPECT_EQ(ReadFile(o / "Gaiku_Gaiku_Arc.mif"), "new");
}

}  // namespace
}  // namespace pelmora::faults
#endif
