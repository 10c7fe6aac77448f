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
                        "GeoPackage: 1つのファイル、レイヤーごとに1つの表",
                        {},
                        ".gpkg",
                        OpenGeoPackageAfterDrivers,
                        CheckReprojection});
  RegisterOutputFormat({"ESRI Shapefile",
                        "Shapefile: レイヤーごとに .shp/.shx/.dbf/.prj/.cpg の組 (文字列はコード"
                        "ページ932)",
                        AfterDrivers<MakeShapefileWriter>,
                        {},
                        {},
                        CheckReprojection,
                        ".shp"});
  RegisterOutputFormat({"GeoJSON",
                        "GeoJSON: レイヤーごとに1つの .geojson ファイル",
                        AfterDrivers<MakeGeoJsonWriter>,
                        {},
                        {},
                        CheckReprojection,
                        ".geojson"});
  RegisterOutputFormat({"FlatGeobuf",
                        "FlatGeobuf: レイヤーごとに1つの .fgb ファイル",
                        AfterDrivers<MakeFlatGeobufWriter>,
                        {},
                        {},
                        CheckReprojection,
                        ".fgb"});
}

}  // namespace pelmora::gdal
