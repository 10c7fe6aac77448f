#include "map_loader.hpp"

#include <algorithm>
#include <filesystem>
#include <thread>

#include "core/conversion/run.hpp"

namespace pelmora::render {

void ZoneMismatchRecorder::OnWarning(const Warning& e) {
  if (e.kind == WarningKind::kZoneMismatch) {
    std::string area(e.file.substr(0, e.file.find('/')));
    std::lock_guard lock(mutex_);
    if (!area.empty() && std::find(areas_.begin(), areas_.end(), area) == areas_.end())
      areas_.push_back(std::move(area));
  }
  next_.OnWarning(e);
}

std::vector<std::string> ZoneMismatchRecorder::Areas() const {
  std::lock_guard lock(mutex_);
  return areas_;
}

int LoadJobs() {
  return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

LoadResult LoadLayers(ConversionSettings settings, ConversionObserver& observer) {
  FeatureStore store;
  settings.writer_factory = store.Factory();
  // The map draws polygons as the data bounds them: holes and detached
  // parts, not the one chained ring that MIF keeps by default.
  settings.polygons = PolygonMode::kAssembled;
  // Nothing follows the log of a preview file by file: layers that read a
  // common file read it once per area.
  settings.share_inputs = true;
  // The run checks that its output folder exists before it converts; the
  // memory writers never touch it, so any existing folder serves.
  std::error_code error;
  std::filesystem::path temp = std::filesystem::temp_directory_path(error);
  settings.output_folder = error ? std::string("/") : temp.string();
  ZoneMismatchRecorder recorder(observer);
  RunResult run = RunConversion(settings, recorder);
  LoadResult result;
  result.problem = run.problem;
  result.problem_folder = run.problem_folder;
  if (run.problem == SettingsProblem::kNone) {
    result.layers = store.TakeLayers();
    result.flagged_areas = recorder.Areas();
  }
  return result;
}

}  // namespace pelmora::render
