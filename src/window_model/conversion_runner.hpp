#pragma once
// One conversion on a worker thread, for every front end that must stay
// responsive while it runs (the main window, the map preview's load): the
// thread, the stop flag, progress positions thinned to a few dozen a second,
// the warnings counted, and the outcome. What the run reports reaches a
// TRunEvents on the worker thread; the receiver hands it to its
// user-interface thread.
#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "core/conversion/observer.hpp"
#include "core/conversion/outcome.hpp"
#include "core/conversion/settings.hpp"

namespace pelmora::window {

// The progress bar's range for a whole run.
inline constexpr int kProgressMaximum = 1000;
// Minimum time between two progress positions.
inline constexpr std::chrono::milliseconds kProgressInterval{30};

// The position from 0 to kProgressMaximum of a progress report.
int ProgressPosition(const RunProgress& progress);

// The end of a run: its outcome and the warnings it reported.
struct RunEnd {
  ConversionOutcome outcome;
  int warnings = 0;
};

// What a run reports, called on the worker thread, in the order it happens.
class TRunEvents {
 public:
  virtual ~TRunEvents() = default;
  virtual void OnRunLog(const std::string& line, bool warning) = 0;
  virtual void OnRunProgressRange(int maximum) = 0;
  virtual void OnRunProgress(int position) = 0;
  // The last call of a run; the thread ends right after it.
  virtual void OnRunEnded(const RunEnd& end) = 0;
};

// The observer of a run: log lines and warnings pass one by one, progress
// positions at most once per kProgressInterval, and the last position before
// a log line and at the end of the run (Flush) is always delivered.
class TThinningObserver : public LogLineObserver {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;
  TThinningObserver(TRunEvents& events, const std::atomic<bool>& stop,
                    Clock clock = std::chrono::steady_clock::now);

  void OnLog(std::string_view line) override;
  void OnRunStarted(const RunStarted& event) override;
  void OnProgress(const RunProgress& event) override;
  void OnWarning(const Warning& event) override;
  bool StopRequested() override;

  // Delivers the last position not yet sent.
  void Flush();
  int warnings() const { return warnings_; }

 private:
  TRunEvents& events_;
  const std::atomic<bool>& stop_;
  Clock clock_;
  std::chrono::steady_clock::time_point last_flush_;
  int pending_ = 0;
  int last_sent_ = 0;
  bool has_pending_ = false;
  int warnings_ = 0;
};

class TConversionRunner {
 public:
  // The work of a run: converts (or loads) with the observer given and says
  // how it ended; what it throws becomes the outcome (OutcomeOfException).
  using Job = std::function<ConversionOutcome(ConversionObserver& observer)>;

  explicit TConversionRunner(TRunEvents& events);
  ~TConversionRunner();  // stops a run still going and waits for it

  // Starts job on a new thread; false while a run is still going.
  bool Start(Job job);
  // Starts RunConversion of settings.
  bool Start(const ConversionSettings& settings);
  bool IsRunning() const { return running_.load(); }
  // Asks the run to stop; the engine looks at the request between records.
  void RequestStop() { stop_ = true; }
  bool StopWasRequested() const { return stop_.load(); }
  // Blocks until the thread of the last run has ended.
  void Wait();

 private:
  void Run(Job job);

  TRunEvents& events_;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> running_{false};
};

}  // namespace pelmora::window
