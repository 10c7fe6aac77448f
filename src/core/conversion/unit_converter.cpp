#include "unit_converter.hpp"

#include <memory>

#include "../input/area_files.hpp"
#include "kind_converters.hpp"

namespace pelmora {
namespace {

// Publishes the outcome of the layers `indexes` (those not finished yet) and
// wakes whoever waits for them; a failure is remembered as the run's first
// when no earlier layer has failed.
void PublishOutcome(std::vector<LayerTask>& tasks, SharedState& shared,
                    const std::vector<size_t>& indexes, TaskState state,
                    const std::exception_ptr& error, std::unique_ptr<LayerWriter> writer,
                    uint64_t features) {
  {
    std::lock_guard lock(shared.mutex);
    for (size_t index : indexes) {
      LayerTask& task = tasks[index];
      if (Finished(task.state)) continue;
      task.writer = std::move(writer);
      task.features = features;
      task.error = error;
      task.state = state;
      if (state == TaskState::kFailed && index < shared.first_failed) shared.first_failed = index;
    }
  }
  shared.changed.notify_all();
  if (shared.pass_on) shared.pass_on();
}

class UnitRun {
 public:
  UnitRun(const LayerUnit& unit, std::vector<LayerTask>& tasks, SharedState& shared)
      : tasks_(tasks), shared_(shared) {
    std::lock_guard lock(shared_.mutex);
    for (size_t index : unit.layers) {
      Member& member = members_.emplace_back();
      member.task = index;
      member.reporter = std::make_unique<TaskReporter>(tasks_[index], shared_);
      tasks_[index].state = TaskState::kRunning;
      // The writer's steps in Finish run here: reported like the converter's
      // progress (at once with one worker), stopped like its records.
      tasks_[index].finishing.SetHooks(
          [&shared] {
            if (shared.progress) shared.progress();
          },
          [&shared] { return StopAsked(shared); });
    }
  }

  void Run(const LayerUnit& unit, const ConversionSettings& settings, const InputDescription& input,
           const std::string& output_folder) {
    for (Member& member : members_) {
      member.converter = MakeLayerConverter(*tasks_[member.task].layer, *member.reporter);
    }
    ForEachLive([&](LayerConverter& layer) { layer.Begin(settings, output_folder); });
    AreaFiles files(unit.shared_files);
    const std::vector<Step> steps = ListSteps(input);
    for (size_t i = 0; i < steps.size(); ++i) {
      const Step& step = steps[i];
      if (!step.area) {
        // Every layer would fail to walk the folder: the first one reports it.
        ForFirstLive([&] { ThrowListingError(*step.unlisted); });
        continue;
      }
      DropAfterFirstFailure();
      // In the last area each layer is finished as soon as it is through, so
      // that its files can be committed while the later layers still convert.
      const bool last = i + 1 == steps.size();
      ForEachLive([&](LayerConverter& layer) {
        layer.ConvertArea(*step.area, &files);
        if (last) Finish(layer);
      });
      files.NextArea();
    }
    ForEachLive([&](LayerConverter& layer) { Finish(layer); });  // when there was no area
  }

 private:
  // One area to convert, or a map-data folder that could not be listed.
  struct Step {
    const AreaDescription* area = nullptr;
    const DescribedFolder* unlisted = nullptr;
  };

  // The areas of every map-data folder in turn. A folder that could not be
  // listed fails the layers when its turn comes, after the areas before it,
  // as when each layer lists the folders itself.
  static std::vector<Step> ListSteps(const InputDescription& input) {
    std::vector<Step> steps;
    for (size_t i = 0; i < input.folders.size(); ++i) {
      if (input.folders[i].listing_error != 0) {
        steps.push_back({nullptr, &input.folders[i]});
        continue;
      }
      for (const AreaDescription& area : input.AreasOf(i)) steps.push_back({&area, nullptr});
    }
    return steps;
  }

  // Completes the layer's files and hands its writer over for committing.
  void Finish(LayerConverter& layer) {
    Publish(current_, TaskState::kDone, nullptr, layer.Finish(), layer.features());
    members_[current_].converter.reset();
  }

  struct Member {
    size_t task = 0;
    std::unique_ptr<TaskReporter> reporter;
    std::unique_ptr<LayerConverter> converter;  // null once the layer has ended
  };

  // Runs step on every layer still converting, in table order; a layer whose
  // step throws fails.
  template <typename LayerStep>
  void ForEachLive(LayerStep step) {
    for (current_ = 0; current_ < members_.size(); ++current_) {
      if (!members_[current_].converter) continue;
      try {
        step(*members_[current_].converter);
      } catch (...) {
        Fail(current_, std::current_exception());
      }
    }
  }

  template <typename Action>
  void ForFirstLive(Action step) {
    for (size_t m = 0; m < members_.size(); ++m) {
      if (!members_[m].converter) continue;
      try {
        step();
      } catch (...) {
        Fail(m, std::current_exception());
      }
      return;
    }
  }

  // Member m has failed: it ends, and so do the later ones.
  void Fail(size_t m, const std::exception_ptr& error) {
    for (size_t later = m; later < members_.size(); ++later) {
      if (!members_[later].converter) continue;
      members_[later].converter.reset();  // removes its temporaries
      Publish(later, TaskState::kFailed, error, nullptr, 0);
    }
  }

  // Layers after a failure elsewhere in the run would be discarded: they end
  // without converting further, with that failure's error.
  void DropAfterFirstFailure() {
    size_t first_failed;
    std::exception_ptr error;
    {
      std::lock_guard lock(shared_.mutex);
      first_failed = shared_.first_failed;
      if (first_failed < tasks_.size()) error = tasks_[first_failed].error;
    }
    for (size_t m = 0; m < members_.size(); ++m) {
      if (members_[m].task > first_failed) {
        Fail(m, error);
        return;
      }
    }
  }

  void Publish(size_t m, TaskState state, const std::exception_ptr& error,
               std::unique_ptr<LayerWriter> writer, uint64_t features) {
    PublishOutcome(tasks_, shared_, {members_[m].task}, state, error, std::move(writer), features);
  }

  std::vector<LayerTask>& tasks_;
  SharedState& shared_;
  std::vector<Member> members_;
  size_t current_ = 0;  // the member ForEachLive is at
};

// Something outside any one layer failed (memory): every layer of the unit
// that has not finished ends with it.
void FailUnfinished(const LayerUnit& unit, std::vector<LayerTask>& tasks, SharedState& shared,
                    const std::exception_ptr& error) {
  PublishOutcome(tasks, shared, unit.layers, TaskState::kFailed, error, nullptr, 0);
}

}  // namespace

void ConvertUnit(const LayerUnit& unit, std::vector<LayerTask>& tasks,
                 const ConversionSettings& settings, const InputDescription& input,
                 const std::string& output_folder, SharedState& shared) {
  std::exception_ptr error;
  try {
    UnitRun run(unit, tasks, shared);
    run.Run(unit, settings, input, output_folder);
  } catch (...) {
    error = std::current_exception();
  }
  // The run and the temporaries of its unfinished layers are gone by now.
  if (error) FailUnfinished(unit, tasks, shared, error);
}

}  // namespace pelmora
