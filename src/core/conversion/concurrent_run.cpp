#include "concurrent_run.hpp"

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "../input/area_folder.hpp"
#include "layer_converter.hpp"
#include "layer_output.hpp"
#include "run.hpp"

namespace pelmora {
namespace {

// How often the coordinating thread asks the front end whether to stop while
// it waits for the layer at the head of the order.
constexpr auto kPollInterval = std::chrono::milliseconds(50);

enum class TaskState { kWaiting, kRunning, kDone, kFailed };

// One layer's conversion and what it leaves for the coordinating thread.
struct LayerTask {
  const LayerDef* layer = nullptr;
  // Guarded by SharedState::mutex.
  std::vector<std::string> log;
  TaskState state = TaskState::kWaiting;
  std::exception_ptr error;
  std::unique_ptr<LayerOutput> output;  // closed, waiting to be committed
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
  std::vector<size_t> start_order;  // task indexes, the most work first
  size_t next_start = 0;            // guarded by mutex: position in start_order
  size_t first_failed = 0;          // guarded by mutex; tasks after it are not started
};

bool Finished(TaskState state) {
  return state == TaskState::kDone || state == TaskState::kFailed;
}

// What a worker's converter reports to: log lines are kept for release in
// table order, progress is published for the coordinator, and the stop
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

void ConvertTask(size_t index, LayerTask& task, const ConversionSettings& settings,
                 const std::string& output_folder, SharedState& shared) {
  TaskObserver observer(task, shared);
  std::unique_ptr<LayerOutput> output;
  std::exception_ptr error;
  try {
    output = MakeLayerConverter(*task.layer, observer)->Convert(settings, output_folder);
  } catch (...) {
    error = std::current_exception();
  }
  {
    std::lock_guard lock(shared.mutex);
    task.output = std::move(output);
    task.error = error;
    task.state = error ? TaskState::kFailed : TaskState::kDone;
    if (error && index < shared.first_failed) shared.first_failed = index;
  }
  shared.changed.notify_all();
}

// Takes the next layer in start order until none is left or the run is
// cancelled, passing over layers after one that has failed (they would be
// discarded anyway).
void Work(std::vector<LayerTask>& tasks, const ConversionSettings& settings,
          const std::string& output_folder, SharedState& shared) {
  while (true) {
    size_t index;
    {
      std::lock_guard lock(shared.mutex);
      const auto& order = shared.start_order;
      while (shared.next_start < order.size() && order[shared.next_start] > shared.first_failed) {
        ++shared.next_start;
      }
      if (shared.cancel || shared.next_start >= order.size()) return;
      index = order[shared.next_start++];
      tasks[index].state = TaskState::kRunning;
    }
    ConvertTask(index, tasks[index], settings, output_folder, shared);
  }
}

// The bytes a layer reads through, over every area: its input file and, for
// polygons, the arc file. Layers differ in work by a factor of a hundred, and
// taking the largest first keeps one large layer from running on alone at
// the end. Files that cannot be found count nothing; the layer reports them.
uint64_t EstimateWork(const LayerDef& layer, const ConversionSettings& settings) {
  uint64_t bytes = 0;
  auto add = [&](const std::string& area_path, std::string_view relative) {
    struct stat st {};
    auto path = ResolveFile(area_path, relative);
    if (path && ::stat(path->c_str(), &st) == 0) bytes += static_cast<uint64_t>(st.st_size);
  };
  for (const std::string& map_folder : settings.map_folders) {
    std::vector<std::string> areas;
    try {
      areas = ListSubfolders(map_folder);
    } catch (const ConversionError&) {
      continue;
    }
    for (const std::string& area : areas) {
      const std::string area_path = JoinPath(map_folder, area);
      if (layer.kind == LayerKind::kFrame) continue;  // one small file per area
      add(area_path, layer.input_path);
      if (!layer.arc_path.empty()) add(area_path, layer.arc_path);
    }
  }
  return bytes;
}

std::vector<size_t> StartOrder(std::span<const LayerDef* const> layers,
                               const ConversionSettings& settings) {
  std::vector<uint64_t> work;
  for (const LayerDef* layer : layers) work.push_back(EstimateWork(*layer, settings));
  std::vector<size_t> order(layers.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return work[a] > work[b]; });
  return order;
}

// The worker threads; leaving the scope cancels what still runs and joins.
class WorkerPool {
 public:
  WorkerPool(size_t count, std::vector<LayerTask>& tasks, const ConversionSettings& settings,
             const std::string& output_folder, SharedState& shared)
      : shared_(shared) {
    try {
      for (size_t i = 0; i < count; ++i) {
        threads_.emplace_back(Work, std::ref(tasks), std::cref(settings), std::cref(output_folder),
                              std::ref(shared));
      }
    } catch (...) {
      StopAndJoin();  // the system refused a thread: end those started
      throw;
    }
  }
  ~WorkerPool() { StopAndJoin(); }
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

 private:
  void StopAndJoin() {
    shared_.cancel = true;
    for (std::thread& thread : threads_) thread.join();
  }

  SharedState& shared_;
  std::vector<std::thread> threads_;
};

// Forwards the head task's progress when it changed since the last look.
class ProgressRelay {
 public:
  void Forward(const LayerTask& task, ConversionObserver& observer) {
    unsigned serial = task.range_serial.load(std::memory_order_acquire);
    if (serial != serial_) {
      serial_ = serial;
      observer.OnProgressRange(task.range_maximum.load(std::memory_order_relaxed));
      position_ = 0;
    }
    int position = task.position.load(std::memory_order_relaxed);
    if (serial_ != 0 && position != position_) {
      observer.OnProgress(position);
      position_ = position;
    }
  }

 private:
  unsigned serial_ = 0;
  int position_ = 0;
};

// Hands the task's log lines to the observer as they come and forwards its
// progress until it has finished; throws ConversionCancelled when the front
// end asks to stop meanwhile.
void FollowTask(LayerTask& task, SharedState& shared, ConversionObserver& observer) {
  size_t released = 0;
  ProgressRelay progress;
  while (true) {
    std::vector<std::string> lines;
    TaskState state;
    {
      std::unique_lock lock(shared.mutex);
      shared.changed.wait_for(lock, kPollInterval,
                              [&] { return task.log.size() > released || Finished(task.state); });
      lines.assign(task.log.begin() + static_cast<std::ptrdiff_t>(released), task.log.end());
      released = task.log.size();
      state = task.state;
    }
    for (const std::string& line : lines) observer.OnLog(line);
    // Also asked when the layer has finished: a stop between two layers
    // keeps the later one from being committed, as with one job.
    if (observer.StopRequested()) throw ConversionCancelled();
    if (Finished(state)) return;
    progress.Forward(task, observer);
  }
}

}  // namespace

void RunLayersConcurrently(std::span<const LayerDef* const> layers,
                           const ConversionSettings& settings, const std::string& output_folder,
                           ConversionObserver& observer) {
  std::vector<LayerTask> tasks(layers.size());
  for (size_t i = 0; i < layers.size(); ++i) tasks[i].layer = layers[i];
  SharedState shared;
  shared.first_failed = tasks.size();
  shared.start_order = StartOrder(layers, settings);
  const size_t workers = std::min(tasks.size(), static_cast<size_t>(std::max(settings.jobs, 1)));
  // Declared after the tasks: the pool is joined before the tasks (and the
  // temporaries of uncommitted layers) go away.
  WorkerPool pool(workers, tasks, settings, output_folder, shared);
  for (LayerTask& task : tasks) {
    FollowTask(task, shared, observer);
    // The worker no longer touches a finished task.
    if (task.state == TaskState::kFailed) std::rethrow_exception(task.error);
    task.output->Commit();
    task.output.reset();
  }
}

}  // namespace pelmora
