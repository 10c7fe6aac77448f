#pragma once
// The one place where a run's layers reach the front end in table order:
// each layer's events once the layers before it are through, its files
// committed in turn, the first failure in table order kept as the run's
// error, and a stop request of the front end turned into the run's cancel.
#include <exception>
#include <vector>

#include "layer_tasks.hpp"
#include "observer.hpp"

namespace pelmora {

class OrderedRelease {
 public:
  OrderedRelease(std::vector<LayerTask>& tasks, SharedState& shared, ConversionObserver& front,
                 uint64_t bytes_to_read, bool strict = false)
      : tasks_(tasks),
        shared_(shared),
        front_(front),
        bytes_to_read_(bytes_to_read),
        strict_(strict) {}

  // Hands on the events of the layer at the head of the order and commits
  // every finished layer there. Returns true when the run is over: every
  // layer committed, or a failure or a stop that ends it (the workers are
  // then told to cancel). Never throws.
  bool Pump();

  // Reports the bytes gone through when they changed since the last report.
  void ReportProgress();

  // After the workers have ended: throws the run's error, or
  // ConversionCancelled when it was stopped; returns the layers committed.
  int Finish();

 private:
  void HandOn(const LayerTask& task, const HeldEvent& event);
  void End(std::exception_ptr error);

  std::vector<LayerTask>& tasks_;
  SharedState& shared_;
  ConversionObserver& front_;
  const uint64_t bytes_to_read_;
  const bool strict_;    // a warning ends the run, here so that any number of jobs fail alike
  size_t head_ = 0;      // the first layer not yet committed
  size_t released_ = 0;  // events of the head layer handed on
  uint64_t reported_bytes_ = 0;
  bool over_ = false;
  std::exception_ptr error_;
};

}  // namespace pelmora
