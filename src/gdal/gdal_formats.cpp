#include "gdal_formats.hpp"

#include <gdal_priv.h>

#include <memory>
#include <mutex>
#include <string>

#include "core/conversion/output_formats.hpp"
#include "file_writers.hpp"
#include "gdal_errors.hpp"
#include "gpkg_output.hpp"
#include "reprojection.hpp"

namespace pelmora::gdal {
namespace {

// GDAL's drivers take about 40 MB once registered: a run that writes MIF
// never pays for them, a run of a GDAL format registers them on its first
// writer.
void RegisterDriversOnce() {
  static std::once_flag once;
  std::call_once(once, [] {
    SilenceGdal();
    GDALAllRegister();
  });
}

template <auto make>
std::unique_ptr<LayerWriter> AfterDrivers(const LayerSchema& schema, const std::string& folder) {
  RegisterDriversOnce();
  return make(schema, folder);
}

std::unique_ptr<RunOutput> OpenGeoPackageAfterDrivers(const std::string& file_path) {
  RegisterDriversOnce();
  return OpenGeoPackage(file_path);
}

}  // namespace

void RegisterGdalFormats() {
  RegisterOutputFormat({"GPKG",
                        "GeoPackage: one file, one table per layer",
                        {},
                        ".gpkg",
                        OpenGeoPackageAfterDrivers,
                        CheckReprojection});
  RegisterOutputFormat({"ESRI Shapefile",
                        "Shapefile: one .shp/.shx/.dbf/.prj/.cpg set per layer (text in code "
                        "page 932)",
                        AfterDrivers<MakeShapefileWriter>,
                        {},
                        {},
                        CheckReprojection});
  RegisterOutputFormat({"GeoJSON",
                        "GeoJSON: one .geojson file per layer",
                        AfterDrivers<MakeGeoJsonWriter>,
                        {},
                        {},
                        CheckReprojection});
  RegisterOutputFormat({"FlatGeobuf",
                        "FlatGeobuf: one .fgb file per layer",
                        AfterDrivers<MakeFlatGeobufWriter>,
                        {},
                        {},
                        CheckReprojection});
}

}  // namespace pelmora::gdal
