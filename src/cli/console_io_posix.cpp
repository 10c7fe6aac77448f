// The POSIX body of console_io.hpp and of the stop signals
// (console_observer.hpp).
#include <unistd.h>

#include <csignal>

#include "console_io.hpp"
#include "console_observer.hpp"

namespace pelmora::cli {
namespace {

volatile std::sig_atomic_t g_stop_signal = 0;

extern "C" void OnStopSignal(int signal) {
  g_stop_signal = signal;
}

}  // namespace

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}

void SetUpConsole() {}

bool ErrorStreamIsConsole() {
  return ::isatty(STDERR_FILENO) == 1;
}

std::string ShellWord(const std::string& word) {
  if (word.find_first_of(" \t'\"\\$`*?&|;<>()[]{}!#~") == std::string::npos && !word.empty())
    return word;
  std::string quoted = "'";
  for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

void InstallStopSignals() {
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  // A closed terminal stops the run like Ctrl-C, and a closed pipe on the
  // standard output (pelmora-convert ... | head) only silences the log:
  // neither may kill the process before it removes its temporary files.
  sigaction(SIGHUP, &action, nullptr);
  signal(SIGPIPE, SIG_IGN);
}

int StopSignal() {
  return g_stop_signal;
}

}  // namespace pelmora::cli
