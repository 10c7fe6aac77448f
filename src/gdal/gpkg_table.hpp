#pragma once
// One layer's table of a GeoPackage, filled from its buffer in steps that a
// stop can end between them: the rows a few thousand at a time, then the
// spatial index the same way. GDAL would build the index in one SQLite
// statement, which nothing interrupts and which takes seconds for a large
// layer; so the index is created while the table is empty, its insert
// trigger set aside while the rows go in, and the index filled in ranges of
// feature ids before the trigger is put back.
#include <string>

#include "core/features/feature.hpp"
#include "finishing_steps.hpp"

class GDALDataset;
class OGRLayer;

namespace pelmora::gdal {

class GdalErrorScope;

// Copies every feature of from into a new table of dataset named after the
// layer, with the caption as its identifier and a spatial index, within the
// caller's transaction. Rows are numbered 1, 2, ... in the order read.
// Throws ConversionError through errors, or what step throws.
void CopyIntoTable(GDALDataset& dataset, const LayerSchema& schema, OGRLayer& from,
                   const FinishingStep& step, GdalErrorScope& errors);

}  // namespace pelmora::gdal
