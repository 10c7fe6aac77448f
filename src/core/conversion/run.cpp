#include "run.hpp"

#include <vector>

#include "concurrent_run.hpp"
#include "layer_converter.hpp"
#include "layer_table.hpp"

namespace pelmora {

RunResult RunConversion(const ConversionSettings& settings, ConversionObserver& observer) {
  SettingsCheck check = CheckSettings(settings);
  RunResult result{check.problem, check.output_folder};
  if (check.problem != SettingsProblem::kNone) return result;
  if (settings.jobs > 1 || settings.share_inputs) {
    std::vector<const LayerDef*> layers;
    for (const LayerDef& layer : LayerTable()) {
      if (settings.groups[layer.group]) layers.push_back(&layer);
    }
    RunLayersConcurrently(layers, settings, check.output_folder, observer);
    return result;
  }
  for (const LayerDef& layer : LayerTable()) {
    if (!settings.groups[layer.group]) continue;
    auto converter = MakeLayerConverter(layer, observer);
    converter->Begin(settings, check.output_folder);
    for (const std::string& map_folder : settings.map_folders) {
      for (const std::string& area : ListAreas(map_folder)) {
        converter->ConvertArea(map_folder, area, nullptr);
      }
    }
    converter->Finish()->Commit();
  }
  return result;
}

}  // namespace pelmora
