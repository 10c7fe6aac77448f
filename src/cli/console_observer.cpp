#include "console_observer.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iostream>

namespace pelmora::cli {
namespace {

constexpr int kBarWidth = 30;

int Percent(const RunProgress& progress) {
  if (progress.bytes_to_read == 0) return 0;
  const uint64_t done = std::min(progress.bytes_done, progress.bytes_to_read);
  return static_cast<int>(100 * static_cast<double>(done) / progress.bytes_to_read);
}

std::string Clock(double seconds) {
  const long total = std::lround(seconds);
  char text[32];
  std::snprintf(text, sizeof text, "%ld:%02ld", total / 60, total % 60);
  return text;
}

}  // namespace

std::string ProgressText(const RunProgress& progress, double elapsed_seconds) {
  const int percent = Percent(progress);
  std::string text = std::to_string(percent) + "% " + Clock(elapsed_seconds);
  // The pace of the first percent says little about the rest.
  if (percent >= 1 && percent < 100) {
    const double done = static_cast<double>(progress.bytes_done);
    const double left = elapsed_seconds * (progress.bytes_to_read - done) / done;
    text += " (" + Clock(left) + " left)";
  }
  return text;
}

void ConsoleObserver::OnLog(std::string_view line) {
  if (!show_log_) return;
  ClearBar();
  std::cout << line << '\n';
  std::cout.flush();
}

void ConsoleObserver::OnRunStarted(const RunStarted& event) {
  start_ = std::chrono::steady_clock::now();
  progress_ = {0, event.bytes_to_read};
}

void ConsoleObserver::OnInputFileStarted(const InputFileStarted& event) {
  current_file_ = LogLine(event);
  LogLineObserver::OnInputFileStarted(event);
  if (show_progress_) DrawBar();
}

void ConsoleObserver::OnProgress(const RunProgress& event) {
  progress_ = event;
  if (show_progress_ && Percent(event) != drawn_percent_) DrawBar();
}

// Warnings go to standard error, the log's order kept: what the log showed
// before a warning is on the screen before it.
void ConsoleObserver::OnWarning(const Warning& event) {
  ++warnings_;
  if (++warnings_per_kind_[event.kind] > kWarningsShown) return;
  ClearBar();
  std::cout.flush();
  std::cerr << LogLine(event) << '\n';
  std::cerr.flush();
}

void ConsoleObserver::PrintWarningsNotShown() {
  for (const auto& [kind, count] : warnings_per_kind_) {
    if (count <= kWarningsShown) continue;
    ClearBar();
    std::cerr << "警告: ほかに同じ種類の警告が " << count - kWarningsShown << " 件あります (計 "
              << count << " 件)\n";
  }
}

bool ConsoleObserver::StopRequested() {
  return StopSignal() != 0;
}

void ConsoleObserver::DrawBar() {
  drawn_percent_ = Percent(progress_);
  const int filled = drawn_percent_ * kBarWidth / 100;
  const double elapsed =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  std::string bar = "\r[" + std::string(filled, '#') + std::string(kBarWidth - filled, ' ') + "] " +
                    ProgressText(progress_, elapsed) + " " + current_file_ + "\x1b[K";
  std::fputs(bar.c_str(), stderr);
  std::fflush(stderr);
  bar_visible_ = true;
}

void ConsoleObserver::ClearBar() {
  if (!bar_visible_) return;
  std::fputs("\r\x1b[K", stderr);
  std::fflush(stderr);
  bar_visible_ = false;
  drawn_percent_ = -1;
}

}  // namespace pelmora::cli
