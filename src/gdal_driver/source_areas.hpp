#pragma once
// The areas of a dataset's folders, in the order a conversion run of those
// folders reaches them, and which layers have input files there.
#include <vector>

#include "core/conversion/layer_table.hpp"
#include "layer_walk.hpp"
#include "source_folders.hpp"

namespace pelmora::gdal_driver {

// Every area of the map-data folders, in list order and then listing order;
// for a single area folder only that area.
std::vector<SourceArea> ListSourceAreas(const std::vector<SourceFolder>& folders);

// Whether one of the areas holds the layer's input file (for the frame
// layer, its map-sheet file).
bool HasInputFile(const LayerDef& layer, const std::vector<SourceArea>& areas);

}  // namespace pelmora::gdal_driver
