#pragma once
// The last check before a run: every map-data folder must hold something the
// selected layers can read. A folder given at the wrong level (an area folder
// itself, the parent of the data folder, an empty folder) would otherwise end
// in "success" and replace every existing layer with an empty one.
#include <span>
#include <string>

#include "../input/input_description.hpp"
#include "layer_table.hpp"
#include "observer.hpp"
#include "settings.hpp"

namespace pelmora {

struct MapDataProblem {
  SettingsProblem problem = SettingsProblem::kNone;
  std::string folder;  // the map-data folder at fault, as listed
  // For a folder given at the wrong level (an area folder itself, or a folder
  // whose subfolders are the map-data folders): the warning that says so and
  // names the folder to give instead. Empty otherwise.
  std::string message;
};

// The first map-data folder, in list order, that does not exist, is not a
// folder, or has no area subfolder holding the input file of one of layers.
// Reads only the description; a folder that could not be listed counts as
// holding nothing.
MapDataProblem CheckMapData(const InputDescription& input, std::span<const LayerDef* const> layers);

// What the checks of the areas before a run warned about.
struct AreaWarnings {
  int count = 0;
  std::string last_file;  // the place of the last warning, as it named it
  int last_line = 0;
};

// Warns, area by area in the order the run reaches them, about every area
// subfolder that the run reaches a second time (the same folder listed twice,
// or a folder inside another, or a link to an area): its features would be
// written twice; and, once for each area, about a map-sheet file naming
// another zone than the chosen coordinate system's (sheet_zone.hpp). Folders
// that cannot be listed are left to the layers. A strict run's checks end at
// the first warning.
AreaWarnings WarnAboutAreas(const ConversionSettings& settings, const InputDescription& input,
                            ConversionObserver& observer);

}  // namespace pelmora
