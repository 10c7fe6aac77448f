#pragma once
// The last check before a run: every map-data folder must hold something the
// selected layers can read. A folder given at the wrong level (an area folder
// itself, the parent of the data folder, an empty folder) would otherwise end
// in "success" and replace every existing layer with an empty one.
#include <span>
#include <string>

#include "layer_table.hpp"
#include "observer.hpp"
#include "settings.hpp"

namespace pelmora {

struct MapDataProblem {
  SettingsProblem problem = SettingsProblem::kNone;
  std::string folder;  // the map-data folder at fault, as listed
};

// The first map-data folder, in list order, that does not exist, is not a
// folder, or has no area subfolder holding the input file of one of layers.
// Touches no file; a folder that cannot be listed counts as holding nothing.
MapDataProblem CheckMapData(const std::vector<std::string>& map_folders,
                            std::span<const LayerDef* const> layers);

// Warns about every area subfolder that the run reaches a second time (the
// same folder listed twice, or a folder inside another, or a link to an
// area): its features would be written twice. Folders that cannot be listed
// are left to the layers.
// Returns the number of warnings.
int WarnAreasReachedTwice(const std::vector<std::string>& map_folders,
                          ConversionObserver& observer);

}  // namespace pelmora
