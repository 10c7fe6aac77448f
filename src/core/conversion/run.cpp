#include "run.hpp"

#include <vector>

#include "layer_table.hpp"
#include "scheduler.hpp"

namespace pelmora {

RunResult RunConversion(const ConversionSettings& settings, ConversionObserver& observer) {
  SettingsCheck check = CheckSettings(settings);
  RunResult result{check.problem, check.output_folder, check.folder};
  if (check.problem != SettingsProblem::kNone) return result;
  std::vector<const LayerDef*> layers;
  for (const LayerDef& layer : LayerTable()) {
    if (settings.groups[layer.group]) layers.push_back(&layer);
  }
  RunLayers(layers, settings, check.output_folder, observer);
  return result;
}

}  // namespace pelmora
