#include "run.hpp"

#include "layer_converter.hpp"
#include "layer_table.hpp"

namespace pelmora {

RunResult RunConversion(const ConversionSettings& settings, ConversionObserver& observer) {
  SettingsCheck check = CheckSettings(settings);
  RunResult result{check.problem, check.output_folder};
  if (check.problem != SettingsProblem::kNone) return result;
  for (const LayerDef& layer : LayerTable()) {
    if (!settings.groups[layer.group]) continue;
    MakeLayerConverter(layer, observer)->Run(settings, check.output_folder);
  }
  return result;
}

}  // namespace pelmora
