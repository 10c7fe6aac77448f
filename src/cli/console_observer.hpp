#pragma once
// Shows a conversion on the console: log lines on standard output, a
// progress bar on standard error, and Ctrl-C or SIGTERM as a stop request.
#include <cstdio>
#include <string>

#include "core/conversion/observer.hpp"

namespace pelmora::cli {

class ConsoleObserver : public ConversionObserver {
 public:
  ConsoleObserver(bool show_log, bool show_progress)
      : show_log_(show_log), show_progress_(show_progress) {}
  ~ConsoleObserver() override { ClearBar(); }

  void OnLog(std::string_view line) override;
  void OnProgressRange(int maximum) override;
  void OnProgress(int position) override;
  bool StopRequested() override;

  // Removes the bar so that a message can take its line.
  void ClearBar();

 private:
  void DrawBar(int percent);

  bool show_log_, show_progress_;
  std::string current_file_;
  int maximum_ = 0;
  int drawn_percent_ = -1;
  bool bar_visible_ = false;
};

// Installs handlers that turn SIGINT and SIGTERM into a stop request.
void InstallStopSignals();
// The signal that stopped the run (0 when none came).
int StopSignal();

}  // namespace pelmora::cli
