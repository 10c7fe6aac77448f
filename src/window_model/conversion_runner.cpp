#include "conversion_runner.hpp"

#include <algorithm>

#include "core/conversion/run.hpp"

namespace pelmora::window {

int ProgressPosition(const RunProgress& progress) {
  if (progress.bytes_to_read == 0) return 0;
  const uint64_t done = std::min(progress.bytes_done, progress.bytes_to_read);
  return static_cast<int>(static_cast<double>(done) / progress.bytes_to_read * kProgressMaximum);
}

TThinningObserver::TThinningObserver(TRunEvents& events, const std::atomic<bool>& stop, Clock clock)
    : events_(events), stop_(stop), clock_(std::move(clock)), last_flush_(clock_()) {}

void TThinningObserver::OnLog(std::string_view line) {
  Flush();
  events_.OnRunLog(std::string(line), false);
}

void TThinningObserver::OnWarning(const Warning& event) {
  Flush();
  ++warnings_;
  events_.OnRunLog(LogLine(event), true);
}

void TThinningObserver::OnRunStarted(const RunStarted&) {
  events_.OnRunProgressRange(kProgressMaximum);
  last_sent_ = 0;  // the range starts at position 0
  has_pending_ = false;
  last_flush_ = clock_();
}

void TThinningObserver::OnProgress(const RunProgress& event) {
  pending_ = ProgressPosition(event);
  has_pending_ = true;
  if (clock_() - last_flush_ >= kProgressInterval) Flush();
}

bool TThinningObserver::StopRequested() {
  return stop_.load(std::memory_order_relaxed);
}

void TThinningObserver::Flush() {
  if (!has_pending_) return;
  has_pending_ = false;
  if (pending_ != last_sent_) {
    events_.OnRunProgress(pending_);
    last_sent_ = pending_;
  }
  last_flush_ = clock_();
}

TConversionRunner::TConversionRunner(TRunEvents& events) : events_(events) {}

TConversionRunner::~TConversionRunner() {
  RequestStop();
  Wait();
}

bool TConversionRunner::Start(Job job) {
  if (running_) return false;
  Wait();  // the thread of the run before, which has ended
  stop_ = false;
  running_ = true;
  thread_ = std::thread([this, job = std::move(job)]() mutable { Run(std::move(job)); });
  return true;
}

bool TConversionRunner::Start(const ConversionSettings& settings) {
  return Start([settings](ConversionObserver& observer) {
    return OutcomeOfResult(RunConversion(settings, observer));
  });
}

void TConversionRunner::Wait() {
  if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) thread_.join();
}

void TConversionRunner::Run(Job job) {
  TThinningObserver observer(events_, stop_);
  RunEnd end;
  try {
    end.outcome = job(observer);
  } catch (...) {
    end.outcome = OutcomeOfException(std::current_exception());
  }
  observer.Flush();  // the final position, also when the run failed
  end.warnings = observer.warnings();
  running_ = false;
  events_.OnRunEnded(end);
}

}  // namespace pelmora::window
