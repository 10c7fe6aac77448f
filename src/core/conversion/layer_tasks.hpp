#pragma once
// What the worker threads of a concurrent run share with the thread that
// follows them: one task per layer, holding the layer's log lines, progress,
// outcome and finished pair until their turn in table order.
#include <atomic>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "../output/layer_writer.hpp"
#include "layer_table.hpp"
#include "observer.hpp"

namespace pelmora {

enum class TaskState { kWaiting, kRunning, kDone, kFailed };

inline bool Finished(TaskState state) {
  return state == TaskState::kDone || state == TaskState::kFailed;
}

struct LayerTask {
  const LayerDef* layer = nullptr;
  // Guarded by SharedState::mutex.
  std::vector<std::string> log;
  TaskState state = TaskState::kWaiting;
  std::exception_ptr error;
  std::unique_ptr<LayerWriter> writer;  // finished, waiting to be committed
  // Progress through the current file, read without a lock: a torn pair only
  // shows a stale bar for a moment.
  std::atomic<unsigned> range_serial{0};
  std::atomic<int> range_maximum{0};
  std::atomic<int> position{0};
};

struct SharedState {
  std::mutex mutex;
  std::condition_variable changed;
  std::atomic<bool> cancel{false};
  size_t first_failed = 0;  // guarded by mutex: no layer after it is kept
};

// What a worker's converter reports to: log lines are kept for release in
// table order, progress is published for the following thread, and the stop
// request is the run's cancel flag.
class TaskObserver : public ConversionObserver {
 public:
  TaskObserver(LayerTask& task, SharedState& shared) : task_(task), shared_(shared) {}

  void OnLog(std::string_view line) override {
    {
      std::lock_guard lock(shared_.mutex);
      task_.log.emplace_back(line);
    }
    shared_.changed.notify_all();
  }
  void OnProgressRange(int maximum) override {
    task_.range_maximum.store(maximum, std::memory_order_relaxed);
    task_.position.store(0, std::memory_order_relaxed);
    task_.range_serial.fetch_add(1, std::memory_order_release);
  }
  void OnProgress(int position) override {
    task_.position.store(position, std::memory_order_relaxed);
  }
  bool StopRequested() override { return shared_.cancel.load(std::memory_order_relaxed); }

 private:
  LayerTask& task_;
  SharedState& shared_;
};

}  // namespace pelmora
