#include "concurrent_run.hpp"

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "../input/area_folder.hpp"
#include "layer_tasks.hpp"
#include "layer_units.hpp"
#include "run.hpp"
#include "unit_converter.hpp"

namespace pelmora {
namespace {

// How often the coordinating thread asks the front end whether to stop while
// it waits for the layer at the head of the order.
constexpr auto kPollInterval = std::chrono::milliseconds(50);

// The units of layers that read common files, handed to the workers with the
// most work first.
struct UnitQueue {
  std::vector<LayerUnit> units;
  std::vector<size_t> start_order;  // unit indexes
  size_t next_start = 0;            // guarded by SharedState::mutex
};

// Takes the next unit in start order until none is left or the run is
// cancelled, passing over units whose layers all come after one that has
// failed (they would be discarded anyway).
void Work(UnitQueue& queue, std::vector<LayerTask>& tasks, const ConversionSettings& settings,
          const std::string& output_folder, SharedState& shared) {
  while (true) {
    const LayerUnit* unit;
    {
      std::lock_guard lock(shared.mutex);
      const auto& order = queue.start_order;
      while (queue.next_start < order.size() &&
             queue.units[order[queue.next_start]].layers.front() > shared.first_failed) {
        ++queue.next_start;
      }
      if (shared.cancel || queue.next_start >= order.size()) return;
      unit = &queue.units[order[queue.next_start++]];
    }
    ConvertUnit(*unit, tasks, settings, output_folder, shared);
  }
}

// The bytes a unit reads through, over every area: each file that its layers
// read counted once, and the arc file of a polygon layer once more, since
// every inner arc bounds two polygons and is written twice. Units differ in
// work by a factor of a hundred, and taking the largest first keeps one large
// unit from running on alone at the end. Files that cannot be found count
// nothing; the layers report them.
uint64_t EstimateWork(const LayerUnit& unit, std::span<const LayerDef* const> layers,
                      const ConversionSettings& settings) {
  std::vector<std::string_view> files;  // per area, each once
  std::vector<std::string_view> arc_files;
  for (size_t i : unit.layers) {
    const LayerDef& layer = *layers[i];
    for (std::string_view file : {layer.input_path, layer.arc_path, layer.attribute_path}) {
      if (!file.empty() && std::find(files.begin(), files.end(), file) == files.end()) {
        files.push_back(file);
      }
    }
    if (!layer.arc_path.empty()) arc_files.push_back(layer.arc_path);
  }
  files.insert(files.end(), arc_files.begin(), arc_files.end());
  uint64_t bytes = 0;
  for (const std::string& map_folder : settings.map_folders) {
    std::vector<std::string> areas;
    try {
      areas = ListSubfolders(map_folder);
    } catch (const ConversionError&) {
      continue;
    }
    for (const std::string& area : areas) {
      const std::string area_path = JoinPath(map_folder, area);
      for (std::string_view file : files) {
        struct stat st {};
        auto path = ResolveFile(area_path, file);
        if (path && ::stat(path->c_str(), &st) == 0) bytes += static_cast<uint64_t>(st.st_size);
      }
    }
  }
  return bytes;
}

std::vector<size_t> StartOrder(std::span<const LayerDef* const> layers,
                               const std::vector<LayerUnit>& units,
                               const ConversionSettings& settings) {
  std::vector<uint64_t> work;
  for (const LayerUnit& unit : units) work.push_back(EstimateWork(unit, layers, settings));
  std::vector<size_t> order(units.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return work[a] > work[b]; });
  return order;
}

// The worker threads; leaving the scope cancels what still runs and joins.
class WorkerPool {
 public:
  WorkerPool(size_t count, UnitQueue& queue, std::vector<LayerTask>& tasks,
             const ConversionSettings& settings, const std::string& output_folder,
             SharedState& shared)
      : shared_(shared) {
    try {
      for (size_t i = 0; i < count; ++i) {
        threads_.emplace_back(Work, std::ref(queue), std::ref(tasks), std::cref(settings),
                              std::cref(output_folder), std::ref(shared));
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
  UnitQueue queue;
  // Without shared inputs no file joins layers: each is a unit alone.
  const size_t min_readers = !settings.share_inputs ? SIZE_MAX : settings.jobs > 1 ? 3 : 2;
  queue.units = GroupLayersBySharedFiles(layers, min_readers);
  const size_t workers =
      std::min(queue.units.size(), static_cast<size_t>(std::max(settings.jobs, 1)));
  if (workers > 1) {
    queue.start_order = StartOrder(layers, queue.units, settings);
  } else {
    // One worker takes as long in any order; table order lets the log and
    // the progress follow the work.
    for (size_t i = 0; i < queue.units.size(); ++i) queue.start_order.push_back(i);
  }
  // Declared after the tasks: the pool is joined before the tasks (and the
  // temporaries of uncommitted layers) go away.
  WorkerPool pool(workers, queue, tasks, settings, output_folder, shared);
  for (LayerTask& task : tasks) {
    FollowTask(task, shared, observer);
    // The worker no longer touches a finished task.
    if (task.state == TaskState::kFailed) std::rethrow_exception(task.error);
    task.writer->Commit();
    task.writer.reset();
  }
}

}  // namespace pelmora
