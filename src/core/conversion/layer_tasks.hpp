#pragma once
// What the workers of a run share with the thread that hands the layers'
// events to the front end: one task per layer, holding the layer's events,
// progress, outcome and finished writer until their turn in table order.
#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "../errors.hpp"
#include "../output/layer_writer.hpp"
#include "layer_reporter.hpp"
#include "layer_table.hpp"
#include "observer.hpp"

namespace pelmora {

enum class TaskState { kWaiting, kRunning, kDone, kFailed };

inline bool Finished(TaskState state) {
  return state == TaskState::kDone || state == TaskState::kFailed;
}

// An event of a layer held until the layers before it are through.
struct HeldEvent {
  enum class Kind { kLayerStarted, kInputFileStarted, kWarning };
  Kind kind = Kind::kLayerStarted;
  std::string area, path;  // the input file, or the file a warning names
  std::string text;        // of a warning
  int line = 0;            // of a warning
  WarningKind warning = WarningKind::kMissingArc;
};

// How far a layer's writer is through its steps after the last feature
// (WriterProgress), and who hears of them: the thread that runs the steps
// sets the hooks while the task is its alone (the worker before it
// finishes the layer, the release before it commits the layer).
class FinishingProgress : public WriterProgress {
 public:
  void SetFinishingShare(double share) override {
    share_.store(std::clamp(share, 0.0, 1.0), std::memory_order_relaxed);
  }
  void Finishing(double done) override {
    done_.store(std::clamp(done, 0.0, 1.0), std::memory_order_relaxed);
    if (report_) report_();
    if (stop_ && stop_()) throw ConversionCancelled();
  }
  // The steps are through (the layer is committed).
  void Complete() { done_.store(1, std::memory_order_relaxed); }
  void SetHooks(std::function<void()> report, std::function<bool()> stop) {
    report_ = std::move(report);
    stop_ = std::move(stop);
  }
  // The layer's progress from the bytes of its input gone through: the
  // finishing steps take their share of the layer's bytes, so that a layer
  // counts all its bytes once they are through.
  uint64_t Weigh(uint64_t bytes) const {
    const double share = share_.load(std::memory_order_relaxed);
    if (share == 0) return bytes;
    const double left = share * (1 - done_.load(std::memory_order_relaxed));
    return bytes - static_cast<uint64_t>(static_cast<double>(bytes) * left);
  }

 private:
  std::atomic<double> share_{0}, done_{0};
  std::function<void()> report_;
  std::function<bool()> stop_;
};

struct LayerTask {
  const LayerDef* layer = nullptr;
  std::string log_target;  // where the log says the layer goes (LayerLogTarget)
  // Guarded by SharedState::mutex.
  std::vector<HeldEvent> events;
  TaskState state = TaskState::kWaiting;
  std::exception_ptr error;
  std::unique_ptr<LayerWriter> writer;  // finished, waiting to be committed
  uint64_t features = 0;
  // Read without a lock by whoever reports the run's progress.
  std::atomic<uint64_t> bytes_done{0};
  // With one worker: the layer's bytes at which to report progress next.
  uint64_t next_report = UINT64_MAX;
  FinishingProgress finishing;  // the writer's, from its first feature to its commit
};

struct SharedState {
  std::mutex mutex;
  std::condition_variable changed;
  std::atomic<bool> cancel{false};
  size_t first_failed = 0;  // guarded by mutex: no layer after it is kept
  // With one worker on the calling thread: what hands the events on at once
  // (called without the mutex held), and whether the front end asks to stop.
  std::function<void()> pass_on;
  std::function<bool()> front_stop;
  // With one worker: reports the run's progress, each time a layer has gone
  // through progress_step more bytes.
  std::function<void()> progress;
  uint64_t progress_step = 0;
};

// Whether the run is to stop: it was cancelled, or (with one worker, on the
// calling thread) the front end asks to.
inline bool StopAsked(SharedState& shared) {
  if (shared.cancel.load(std::memory_order_relaxed)) return true;
  if (shared.front_stop && shared.front_stop()) shared.cancel = true;
  return shared.cancel.load(std::memory_order_relaxed);
}

// The converter's reporter for one task: events are kept for release in table
// order, progress is published for whoever reports it, and the stop request
// is the run's cancel flag (and, with one worker, the front end's own).
class TaskReporter : public LayerReporter {
 public:
  TaskReporter(LayerTask& task, SharedState& shared) : task_(task), shared_(shared) {}

  void LayerStarted() override { Hold({HeldEvent::Kind::kLayerStarted}); }
  void InputFileStarted(std::string_view area, std::string_view path) override {
    Hold({HeldEvent::Kind::kInputFileStarted, std::string(area), std::string(path)});
  }
  void Warn(WarningKind kind, std::string_view text, std::string_view file, int line) override {
    Hold({HeldEvent::Kind::kWarning, {}, std::string(file), std::string(text), line, kind});
  }
  void BytesDone(uint64_t bytes) override {
    task_.bytes_done.store(bytes, std::memory_order_relaxed);
    if (bytes >= task_.next_report) {
      task_.next_report = bytes + shared_.progress_step;
      shared_.progress();
    }
  }
  bool StopRequested() override { return StopAsked(shared_); }
  WriterProgress* Finishing() override { return &task_.finishing; }

 private:
  void Hold(HeldEvent event) {
    {
      std::lock_guard lock(shared_.mutex);
      task_.events.push_back(std::move(event));
    }
    shared_.changed.notify_all();
    if (shared_.pass_on) shared_.pass_on();
  }

  LayerTask& task_;
  SharedState& shared_;
};

}  // namespace pelmora
