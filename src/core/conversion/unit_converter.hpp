#pragma once
// Converting the layers of one unit (layers that read a common file) on one
// worker thread, area by area: in each area every layer converts in table
// order, and the files they share are read once for all of them.
#include <string>
#include <vector>

#include "../input/input_description.hpp"
#include "layer_tasks.hpp"
#include "layer_units.hpp"
#include "settings.hpp"

namespace pelmora {

// Converts the unit's layers (indexes into tasks) and publishes each layer's
// outcome in its task, walking the areas of input: kDone with its finished writer, or kFailed with
// its error. A layer that fails ends there, and so do the unit's later layers and any layer after
// the first failure of the run, since a run keeps none of them; the earlier layers go on as if
// converted one after another.
void ConvertUnit(const LayerUnit& unit, std::vector<LayerTask>& tasks,
                 const ConversionSettings& settings, const InputDescription& input,
                 const std::string& output_folder, SharedState& shared);

}  // namespace pelmora
