#pragma once
#include <string>
// Reads map data for a preview: the conversion engine with every layer's
// writer keeping its features in memory, so that nothing is written to disk.
#include <vector>

#include "core/conversion/observer.hpp"
#include "core/conversion/settings.hpp"
#include "core/output/memory_writer.hpp"

namespace pelmora::render {

struct LoadResult {
  SettingsProblem problem = SettingsProblem::kNone;  // kNone: layers holds the map
  std::string problem_folder;                        // the folder a problem names
  std::vector<StoredLayer> layers;                   // in table order
};

// Converts the groups of settings' map folders into memory. The output
// folder and format of settings are replaced: no file is made. Throws
// ConversionError as a conversion does (ConversionCancelled when the observer
// asks to stop).
LoadResult LoadLayers(ConversionSettings settings, ConversionObserver& observer);

}  // namespace pelmora::render
