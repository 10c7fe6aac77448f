#pragma once
// How many features a layer's converter makes of one area, counted from the
// record lines of its input file without converting them: each record of the
// layer's type code is one feature, its coordinate or reference lines are
// stepped over as the converter steps over them, and a map-sheet file long
// enough for a frame is one. A count costs a reading of the file, not the
// lookups, numbers and rings of a conversion.
#include <cstdint>
#include <optional>

#include "core/conversion/layer_table.hpp"
#include "core/input/input_description.hpp"

namespace pelmora::gdal_driver {

// The count, or nothing when the file cannot be read or holds what stops the
// converter before its end (a sheet header, a count of lines that is no
// number or runs past the file): only a conversion can tell those. For a file
// that converts without error the count is exact.
std::optional<uint64_t> CountFeatures(const LayerDef& layer, const AreaDescription& area);

}  // namespace pelmora::gdal_driver
