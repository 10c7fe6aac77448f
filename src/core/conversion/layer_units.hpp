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

// Splits layers into units: two layers are in one unit when they read a
// common file, directly or through other layers of the unit. Units come in
// the order of their first layer; a layer sharing nothing is a unit alone.
std::vector<LayerUnit> GroupLayersBySharedFiles(std::span<const LayerDef* const> layers);

}  // namespace pelmora
