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

// Which layers of a run convert each area together. The one policy of the
// scheduler; its costs:
// - A file read by k layers that run apart is read, cut into lines and
//   indexed k times per area; joined, once. Joining saves k - 1 readings.
// - A unit runs on one worker, so joining also puts the work of all its
//   layers on one core, and holds back the events of all but the first.
// With one worker nothing is lost, and every file read by two or more layers
// joins its readers. With several workers a saving of one reading (k = 2)
// does not pay for losing a core: the layers most worth running apart are
// the two that read one large file, since each of them is large. Files of
// three or more readers save at least two readings per area and join. A run
// without shared inputs (the window, which follows each file as it is
// converted) joins nothing: every layer is a unit alone.
std::vector<LayerUnit> PlanUnits(std::span<const LayerDef* const> layers, int workers,
                                 bool share_inputs);

// Splits layers into units: layers are in one unit when they read a common
// file that at least min_readers of them read, directly or through other
// layers of the unit. Within a unit every file read by two or more of its
// layers is shared. Units come in the order of their first layer; a layer
// sharing nothing is a unit alone, and so is every layer when min_readers
// is larger than the number of layers.
std::vector<LayerUnit> GroupLayersBySharedFiles(std::span<const LayerDef* const> layers,
                                                size_t min_readers = 2);

}  // namespace pelmora
