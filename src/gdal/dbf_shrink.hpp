#pragma once
// The text columns of a Shapefile's DBF table are created 254 bytes wide (the
// widest a DBF allows), since a column's longest value is known only once
// every feature is written. Shrinking them afterwards to their longest value
// keeps the table small. GDAL can do so when it closes the file, but it
// rewrites the table once per column, seeking for every record, which took
// most of a Shapefile run; this does it in one reading and one writing pass.
#include <string>

#include "finishing_steps.hpp"

namespace pelmora::gdal {

// Shrinks every text column of the closed DBF file at path to its longest
// value (at least 1 byte), in place. A table with a column of another type
// is left as it is. step is called after each block of records with the
// share done (0 to 1) and may throw to stop, leaving the file unusable (it
// is a temporary file, discarded on any failure). Throws IoError naming
// display_name.
void ShrinkDbfTextColumns(
    const std::string& path, const std::string& display_name,
    const FinishingStep& step = [](double) {});

}  // namespace pelmora::gdal
