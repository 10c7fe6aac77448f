#pragma once
// The output formats written through GDAL, added to the engine's format
// table when a front end starts.
namespace pelmora::gdal {

// Registers GDAL's drivers and the formats GPKG, ESRI Shapefile, GeoJSON and
// FlatGeobuf; GDAL prints nothing of its own from then on. Call once, before
// any run.
void RegisterGdalFormats();

}  // namespace pelmora::gdal
