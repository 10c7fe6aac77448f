#include "scheduler.hpp"

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

#include "input_sizes.hpp"
#include "layer_tasks.hpp"
#include "layer_units.hpp"
#include "ordered_release.hpp"
#include "output_formats.hpp"
#include "unit_converter.hpp"

namespace pelmora {
namespace {

// How often the calling thread reports progress and asks the front end
// whether to stop while workers run.
constexpr auto kPollInterval = std::chrono::milliseconds(50);

// With one worker, progress is reported each time a layer has gone through
// this share of the run's bytes (and at least this many bytes).
constexpr uint64_t kProgressSteps = 1000;
constexpr uint64_t kMinProgressStep = 64 * 1024;

// The units, handed to the workers in start order, and the areas each of
// them walks.
struct UnitQueue {
  const InputDescription* input = nullptr;
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
    ConvertUnit(*unit, tasks, settings, *queue.input, output_folder, shared);
  }
}

// The units with the most work first: units differ in work by a factor of a
// hundred, and taking the largest first keeps one large unit from running on
// alone at the end. One worker takes as long in any order, and table order
// lets the events and the progress follow the work.
std::vector<size_t> StartOrder(const std::vector<LayerUnit>& units, size_t workers,
                               std::span<const LayerDef* const> layers, const InputSizes& sizes) {
  std::vector<size_t> order(units.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  if (workers <= 1) return order;
  std::vector<uint64_t> work;
  for (const LayerUnit& unit : units) work.push_back(sizes.UnitWork(unit, layers));
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

  void StopAndJoin() {
    shared_.cancel = true;
    for (std::thread& thread : threads_) {
      if (thread.joinable()) thread.join();
    }
  }

 private:
  SharedState& shared_;
  std::vector<std::thread> threads_;
};

// One worker on the calling thread: the release and the progress happen as
// the worker reports, so the front end sees each event when it happens.
void RunOnThisThread(UnitQueue& queue, std::vector<LayerTask>& tasks,
                     const ConversionSettings& settings, const std::string& output_folder,
                     SharedState& shared, OrderedRelease& release, ConversionObserver& observer,
                     uint64_t bytes_to_read) {
  shared.pass_on = [&] { release.Pump(); };
  shared.front_stop = [&] { return observer.StopRequested(); };
  shared.progress = [&] { release.ReportProgress(); };
  shared.progress_step = std::max(bytes_to_read / kProgressSteps, kMinProgressStep);
  for (LayerTask& task : tasks) task.next_report = 0;
  Work(queue, tasks, settings, output_folder, shared);
}

// Several workers on threads of their own: the calling thread hands on what
// they report and reports the progress until the run is over.
void RunOnWorkers(size_t workers, UnitQueue& queue, std::vector<LayerTask>& tasks,
                  const ConversionSettings& settings, const std::string& output_folder,
                  SharedState& shared, OrderedRelease& release) {
  WorkerPool pool(workers, queue, tasks, settings, output_folder, shared);
  while (!release.Pump()) {
    {
      std::unique_lock lock(shared.mutex);
      shared.changed.wait_for(lock, kPollInterval);
    }
    release.ReportProgress();
  }
  pool.StopAndJoin();
}

}  // namespace

int RunLayers(std::span<const LayerDef* const> layers, const ConversionSettings& settings,
              const InputDescription& input, const std::string& output_folder,
              ConversionObserver& observer) {
  std::vector<LayerTask> tasks(layers.size());
  for (size_t i = 0; i < layers.size(); ++i) {
    tasks[i].layer = layers[i];
    tasks[i].log_target = LayerLogTarget(settings, layers[i]->base_name);
  }
  SharedState shared;
  shared.first_failed = tasks.size();
  UnitQueue queue;
  queue.input = &input;
  queue.units = PlanUnits(layers, settings.jobs, settings.share_inputs);
  const size_t workers =
      std::min(queue.units.size(), static_cast<size_t>(std::max(settings.jobs, 1)));
  const InputSizes sizes(layers, input);
  queue.start_order = StartOrder(queue.units, workers, layers, sizes);

  observer.OnRunStarted({sizes.BytesToRead(), static_cast<int>(layers.size()), sizes.AreasRead(),
                         settings.coordsys_index});
  OrderedRelease release(tasks, shared, observer, sizes.BytesToRead(), settings.strict);
  if (workers <= 1) {
    RunOnThisThread(queue, tasks, settings, output_folder, shared, release, observer,
                    sizes.BytesToRead());
  } else {
    RunOnWorkers(workers, queue, tasks, settings, output_folder, shared, release);
  }
  const int committed = release.Finish();
  observer.OnRunFinished({committed});
  return committed;
}

}  // namespace pelmora
