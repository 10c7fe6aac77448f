#include "gdal_formats.hpp"

#include <gdal_priv.h>

#include "core/conversion/output_formats.hpp"
#include "file_writers.hpp"
#include "gdal_errors.hpp"
#include "gpkg_output.hpp"

namespace pelmora::gdal {

void RegisterGdalFormats() {
  SilenceGdal();
  GDALAllRegister();
  RegisterOutputFormat(
      {"GPKG", "GeoPackage: one file, one table per layer", {}, ".gpkg", OpenGeoPackage});
  RegisterOutputFormat({"ESRI Shapefile",
                        "Shapefile: one .shp/.shx/.dbf/.prj/.cpg set per layer (text in code "
                        "page 932)",
                        MakeShapefileWriter,
                        {},
                        {}});
  RegisterOutputFormat(
      {"GeoJSON", "GeoJSON: one .geojson file per layer", MakeGeoJsonWriter, {}, {}});
  RegisterOutputFormat(
      {"FlatGeobuf", "FlatGeobuf: one .fgb file per layer", MakeFlatGeobufWriter, {}, {}});
}

}  // namespace pelmora::gdal
