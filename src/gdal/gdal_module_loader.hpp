#pragma once
// Offers the formats written through GDAL to the engine's format table
// without linking GDAL into the program: the module holding them is loaded
// on the first lookup that needs them (see SetOutputFormatLoader).
namespace pelmora::gdal {

// Sets the format table's loader to the GDAL module. Call once when the
// program starts, before any lookup of a format.
void OfferGdalFormats();

}  // namespace pelmora::gdal
