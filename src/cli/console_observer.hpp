#pragma once
// Shows a conversion on the console: log lines on standard output, a
// progress bar of the whole run on standard error, and Ctrl-C or SIGTERM as
// a stop request.
#include <chrono>
#include <cstdio>
#include <map>
#include <string>

#include "core/conversion/observer.hpp"

namespace pelmora::cli {

class ConsoleObserver : public LogLineObserver {
 public:
  ConsoleObserver(bool show_log, bool show_progress)
      : show_log_(show_log), show_progress_(show_progress) {}
  ~ConsoleObserver() override { ClearBar(); }

  void OnLog(std::string_view line) override;
  void OnRunStarted(const RunStarted& event) override;
  void OnInputFileStarted(const InputFileStarted& event) override;
  void OnProgress(const RunProgress& event) override;
  void OnWarning(const Warning& event) override;
  bool StopRequested() override;

  // Removes the bar so that a message can take its line.
  void ClearBar();

  // At most kWarningsShown warnings of each kind are printed; this prints
  // how many more of each kind there were.
  static constexpr int kWarningsShown = 10;
  void PrintWarningsNotShown();
  int warnings() const { return warnings_; }

 private:
  void DrawBar();

  bool show_log_, show_progress_;
  std::chrono::steady_clock::time_point start_;
  std::string current_file_;
  RunProgress progress_;
  int drawn_percent_ = -1;
  bool bar_visible_ = false;
  std::map<WarningKind, int> warnings_per_kind_;
  int warnings_ = 0;
};

// The bar's text after its hashes: percent, time taken and, once a share of
// the work is done, the time left at the same pace, e.g. "42% 0:12 (0:16 left)".
std::string ProgressText(const RunProgress& progress, double elapsed_seconds);

// Installs handlers that turn SIGINT, SIGTERM and SIGHUP into a stop request,
// and ignores SIGPIPE; on Windows, Ctrl-C and Ctrl-Break (as SIGINT), a
// closed console window (as SIGHUP), a log-off or shutdown (as SIGTERM).
// Bodies in console_io_posix.cpp and console_io_windows.cpp.
void InstallStopSignals();
// The signal that stopped the run (0 when none came).
int StopSignal();

}  // namespace pelmora::cli
