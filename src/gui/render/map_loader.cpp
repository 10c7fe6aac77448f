#include "map_loader.hpp"

#include <filesystem>

#include "core/conversion/run.hpp"

namespace pelmora::render {

LoadResult LoadLayers(ConversionSettings settings, ConversionObserver& observer) {
  FeatureStore store;
  settings.writer_factory = store.Factory();
  // The run checks that its output folder exists before it converts; the
  // memory writers never touch it, so any existing folder serves.
  std::error_code error;
  std::filesystem::path temp = std::filesystem::temp_directory_path(error);
  settings.output_folder = error ? std::string("/") : temp.string();
  RunResult run = RunConversion(settings, observer);
  LoadResult result;
  result.problem = run.problem;
  result.problem_folder = run.problem_folder;
  if (run.problem == SettingsProblem::kNone) result.layers = store.Layers();
  return result;
}

}  // namespace pelmora::render
