#include "reprojection.hpp"

#include <ogr_spatialref.h>

#include "core/mif/coordsys.hpp"
#include "crs_plan.hpp"
#include "gdal_errors.hpp"

namespace pelmora::gdal {

FormatCheck CheckReprojection(const ConversionSettings& settings) {
  if (settings.target_crs.empty()) {
    if (!settings.grid_file.empty() || settings.allow_approximate) {
      return {
          "グリッドファイルや近似変換は、投影し直す先の座標系 (--t_srs) を指定したときだけ使え"
          "ます。",
          {}};
    }
    return {};
  }
  CrsPlan plan = PlanCrsTransformation({CoordSysEpsg(settings.coordsys_index), settings.target_crs,
                                        settings.grid_file, settings.allow_approximate});
  if (!plan.refusal.empty()) plan.refusal += "。";
  return {std::move(plan.refusal), std::move(plan.warning)};
}

std::unique_ptr<OGRCoordinateTransformation> LayerTransformation(const LayerSchema& schema,
                                                                 OGRSpatialReference& srs,
                                                                 const GdalErrorScope& errors) {
  if (schema.target_crs.empty()) return nullptr;
  // The run's check refused what needed consent and had none: an
  // approximation that reaches a writer was accepted.
  const CrsPlan plan =
      PlanCrsTransformation({CoordSysEpsg(schema.coordsys_index), std::string(schema.target_crs),
                             std::string(schema.grid_file), true});
  if (!plan.refusal.empty()) errors.Fail(plan.refusal);
  OGRSpatialReference target;
  if (target.SetFromUserInput(plan.target.c_str()) != OGRERR_NONE) {
    errors.Fail("座標系「" + std::string(schema.target_crs) + "」はわかりません");
  }
  // Easting (longitude) first, as the zone's coordinates are written.
  target.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  OGRCoordinateTransformationOptions options;
  // The operation the check judged, not whatever PROJ would pick per point.
  options.SetCoordinateOperation(plan.pipeline.c_str(), false);
  std::unique_ptr<OGRCoordinateTransformation> transformation(
      OGRCreateCoordinateTransformation(&srs, &target, options));
  if (!transformation) {
    errors.Fail("座標系「" + std::string(schema.target_crs) + "」へ変換できません");
  }
  srs = target;
  return transformation;
}

}  // namespace pelmora::gdal
