#include "console_observer.hpp"

#include <csignal>
#include <iostream>

namespace pelmora::cli {
namespace {

volatile std::sig_atomic_t g_stop_signal = 0;

extern "C" void OnStopSignal(int signal) {
  g_stop_signal = signal;
}

constexpr int kBarWidth = 30;

}  // namespace

void InstallStopSignals() {
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

int StopSignal() {
  return g_stop_signal;
}

void ConsoleObserver::OnLog(std::string_view line) {
  if (line.find(" --> ") != std::string_view::npos) current_file_ = line;
  if (!show_log_) return;
  ClearBar();
  std::cout << line << '\n';
  std::cout.flush();
}

void ConsoleObserver::OnProgressRange(int maximum) {
  maximum_ = maximum;
  drawn_percent_ = -1;
  OnProgress(0);
}

void ConsoleObserver::OnProgress(int position) {
  if (!show_progress_) return;
  int percent = maximum_ > 0 ? static_cast<int>(100LL * position / maximum_) : 100;
  if (percent != drawn_percent_) DrawBar(percent);
}

bool ConsoleObserver::StopRequested() {
  return g_stop_signal != 0;
}

void ConsoleObserver::DrawBar(int percent) {
  drawn_percent_ = percent;
  int filled = percent * kBarWidth / 100;
  std::string bar = "\r[" + std::string(filled, '#') + std::string(kBarWidth - filled, ' ') + "] " +
                    std::to_string(percent) + "% " + current_file_ + "\x1b[K";
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
