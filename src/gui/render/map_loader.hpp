#pragma once
// Reads map data for a preview: the conversion engine with every layer's
// writer keeping its features in memory, so that nothing is written to disk.
#include <mutex>
#include <string>
#include <vector>

#include "core/conversion/observer.hpp"
#include "core/conversion/settings.hpp"
#include "core/output/memory_writer.hpp"

namespace pelmora::render {

struct LoadResult {
  SettingsProblem problem = SettingsProblem::kNone;  // kNone: layers holds the map
  std::string problem_folder;                        // the folder a problem names
  std::vector<StoredLayer> layers;                   // in table order
  // The areas whose map-sheet files name another coordinate-system zone
  // than the one chosen: their data lies elsewhere or over other areas.
  std::vector<std::string> flagged_areas;
};

// Passes every event on to another observer and keeps the areas that the
// zone-mismatch warnings name, each once: the area is the first component
// of the warning's file ("13101/13101.txt").
class ZoneMismatchRecorder : public ConversionObserver {
 public:
  explicit ZoneMismatchRecorder(ConversionObserver& next) : next_(next) {}

  void OnRunStarted(const RunStarted& e) override { next_.OnRunStarted(e); }
  void OnLayerStarted(const LayerStarted& e) override { next_.OnLayerStarted(e); }
  void OnInputFileStarted(const InputFileStarted& e) override { next_.OnInputFileStarted(e); }
  void OnProgress(const RunProgress& e) override { next_.OnProgress(e); }
  void OnWarning(const Warning& e) override;
  void OnLayerCommitted(const LayerCommitted& e) override { next_.OnLayerCommitted(e); }
  void OnRunFinished(const RunFinished& e) override { next_.OnRunFinished(e); }
  bool StopRequested() override { return next_.StopRequested(); }

  std::vector<std::string> Areas() const;

 private:
  ConversionObserver& next_;
  mutable std::mutex mutex_;
  std::vector<std::string> areas_;
};

// How many layers a preview reads at once: one per core, as the command line
// converts by default. What is read is the same for any number.
int LoadJobs();

// Converts the groups of settings' map folders into memory, polygons
// assembled into rings with holes and parts. The output folder and format
// of settings are replaced: no file is made. Throws
// ConversionError as a conversion does (ConversionCancelled when the observer
// asks to stop).
LoadResult LoadLayers(ConversionSettings settings, ConversionObserver& observer);

}  // namespace pelmora::render
