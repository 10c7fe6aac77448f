#pragma once
// The areas of a dataset's folders, in the order a conversion run of those
// folders reaches them, and which layers have input files there.
#include <vector>

#include "core/conversion/layer_table.hpp"
#include "core/input/input_description.hpp"
#include "source_folders.hpp"

namespace pelmora::gdal_driver {

// The description of the folders as a run of their map-data folders lists
// them, with only the area itself for a single area folder.
InputDescription DescribeSources(const std::vector<SourceFolder>& folders);

// Whether one of the areas holds the layer's input file (for the frame
// layer, its map-sheet file).
bool HasInputFile(const LayerDef& layer, const InputDescription& input);

}  // namespace pelmora::gdal_driver
