#pragma once
// What a run did, gathered from its events for the report after it: the
// layers written with their files and features, the areas read, every
// warning, the outcome and the times.
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "core/conversion/observer.hpp"

namespace pelmora::cli {

struct LayerRecord {
  std::string name;
  std::vector<std::string> files;
  uint64_t features = 0;
};

struct WarningRecord {
  WarningKind kind = WarningKind::kMissingArc;
  std::string text, file;
  int line = 0;
};

enum class RunOutcome { kDone, kFailed, kRefused, kStopped };

struct RunRecord {
  std::vector<LayerRecord> layers;  // committed, in table order
  std::vector<WarningRecord> warnings;
  int areas = 0;
  // The entry of the coordinate-system table written (-1 before the run
  // started), and whether it was taken from the map-sheet files.
  int coordsys_index = -1;
  bool coordsys_from_data = false;
  RunOutcome outcome = RunOutcome::kDone;
  int exit_status = 0;
  // Of a run that did not end as done: the message as the user saw it
  // (without the place), and the place when there is one.
  std::string error, error_file;
  int error_line = 0;
  std::chrono::system_clock::time_point started, finished;
  double elapsed_seconds = 0;

  // How many warnings of the kind there were.
  int WarningsOf(WarningKind kind) const;
};

// Records the events of a run and hands every one on to next, which decides
// about stopping.
class RunRecorder : public ConversionObserver {
 public:
  // coordsys_from_data: the run was asked to take the zone from the data.
  explicit RunRecorder(ConversionObserver& next, bool coordsys_from_data = false);

  void OnRunStarted(const RunStarted& event) override;
  void OnLayerStarted(const LayerStarted& event) override { next_.OnLayerStarted(event); }
  void OnInputFileStarted(const InputFileStarted& event) override {
    next_.OnInputFileStarted(event);
  }
  void OnProgress(const RunProgress& event) override { next_.OnProgress(event); }
  void OnWarning(const Warning& event) override;
  void OnLayerCommitted(const LayerCommitted& event) override;
  void OnRunFinished(const RunFinished& event) override { next_.OnRunFinished(event); }
  bool StopRequested() override { return next_.StopRequested(); }

  // Notes how the run ended and when; the record is then complete.
  void End(RunOutcome outcome, int exit_status);
  void End(RunOutcome outcome, int exit_status, std::string error, std::string file = {},
           int line = 0);

  const RunRecord& record() const { return record_; }

 private:
  ConversionObserver& next_;
  RunRecord record_;
  std::chrono::steady_clock::time_point start_;
};

// The summary printed after "変換が終了しました。": the coordinate system
// written (saying when it came from the map-sheet files), the features of
// every layer written, the areas read, the warnings of each kind and the time taken,
// e.g. the line "所要時間: 1.25 秒".
std::string SummaryText(const RunRecord& record);

// What a stopped run says: "変換を中止しました。", then what it kept: the
// layers finished before the stop, or, for a format that writes one file
// (one_file names it), that the file was not written.
std::string StoppedText(const RunRecord& record, std::string_view one_file);

}  // namespace pelmora::cli
