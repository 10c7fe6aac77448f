#pragma once
// Layers that read a common input file, to be converted together area by
// area so that the file is read once per area instead of once per layer.
#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "layer_table.hpp"

namespace pelmora {

struct LayerUnit {
  std::vector<size_t> layers;  // indexes into the layers given, ascending
  // The files (relative to an area folder) that two or more of them read.
  std::vector<std::string> shared_files;
};

// Splits layers into units: layers are in one unit when they read a common
// file that at least min_readers of them read, directly or through other
// layers of the unit. Within a unit every file read by two or more of its
// layers is shared. Units come in the order of their first layer; a layer
// sharing nothing is a unit alone, and so is every layer when min_readers
// is larger than the number of layers.
//
// With one worker every common file pays (min_readers 2). With several, a
// unit runs on one worker, and joining two layers to save one reading of a
// file can cost more in balance than it saves: the largest layers are such
// pairs of a line layer and a polygon layer on the same arc file.
std::vector<LayerUnit> GroupLayersBySharedFiles(std::span<const LayerDef* const> layers,
                                                size_t min_readers = 2);

}  // namespace pelmora
