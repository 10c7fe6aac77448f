#include "ordered_release.hpp"

#include "../errors.hpp"

namespace pelmora {

bool OrderedRelease::Pump() {
  while (!over_ && head_ < tasks_.size()) {
    LayerTask& task = tasks_[head_];
    std::vector<HeldEvent> events;
    TaskState state;
    {
      std::lock_guard lock(shared_.mutex);
      events.assign(task.events.begin() + static_cast<std::ptrdiff_t>(released_),
                    task.events.end());
      released_ = task.events.size();
      state = task.state;
    }
    const LayerDef& layer = *task.layer;
    for (const HeldEvent& event : events) {
      HandOn(task, event);
      if (over_) return true;  // a warning ended a strict run
    }
    // Also asked when the layer has finished: a stop keeps it and every
    // later layer from being committed.
    if (front_.StopRequested()) {
      End(std::make_exception_ptr(ConversionCancelled()));
      break;
    }
    if (!Finished(state)) return false;
    if (state == TaskState::kFailed) {
      End(task.error);  // the worker no longer touches a finished task
      break;
    }
    // A commit that copies the layer into the run's file takes long: its
    // progress and the stop request are handled here, on this thread.
    task.finishing.SetHooks([this] { ReportProgress(); },
                            [this] { return front_.StopRequested(); });
    try {
      task.writer->Commit();
      task.finishing.Complete();
    } catch (...) {
      End(std::current_exception());
      break;
    }
    const std::vector<std::string> files = task.writer->FileNames();
    task.writer.reset();
    front_.OnLayerCommitted({layer.base_name, task.features, files});
    ++head_;
    released_ = 0;
  }
  over_ = true;
  return true;
}

void OrderedRelease::HandOn(const LayerTask& task, const HeldEvent& event) {
  const LayerDef& layer = *task.layer;
  switch (event.kind) {
    case HeldEvent::Kind::kLayerStarted:
      front_.OnLayerStarted({layer.base_name, layer.log_text});
      break;
    case HeldEvent::Kind::kInputFileStarted:
      front_.OnInputFileStarted({layer.base_name, event.area, event.path, task.log_target});
      break;
    case HeldEvent::Kind::kWarning:
      front_.OnWarning({event.warning, event.text, event.path, event.line});
      if (strict_) End(std::make_exception_ptr(StrictWarningError(event.path, event.line)));
      break;
  }
}

void OrderedRelease::End(std::exception_ptr error) {
  error_ = std::move(error);
  over_ = true;
  shared_.cancel = true;
}

void OrderedRelease::ReportProgress() {
  uint64_t bytes = 0;
  for (const LayerTask& task : tasks_) {
    bytes += task.finishing.Weigh(task.bytes_done.load(std::memory_order_relaxed));
  }
  if (bytes == reported_bytes_) return;
  reported_bytes_ = bytes;
  front_.OnProgress({bytes, bytes_to_read_});
}

int OrderedRelease::Finish() {
  Pump();
  if (error_) std::rethrow_exception(error_);
  ReportProgress();
  return static_cast<int>(head_);
}

}  // namespace pelmora
