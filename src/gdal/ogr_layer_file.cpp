#include "ogr_layer_file.hpp"

#include <gdal_priv.h>
#include <ogr_spatialref.h>
#include <ogrsf_frmts.h>

#include "core/errors.hpp"
#include "core/mif/coordsys.hpp"
#include "dbf_field_names.hpp"
#include "fgb_null_features.hpp"
#include "gdal_errors.hpp"
#include "ogr_geometry.hpp"
#include "reprojection.hpp"
#include "utf8_values.hpp"

namespace pelmora::gdal {
namespace {

OGRwkbGeometryType GeometryType(GeometryKind kind) {
  switch (kind) {
    case GeometryKind::kPoint:
      return wkbPoint;
    case GeometryKind::kLine:
      return wkbLineString;
    case GeometryKind::kPolygon:
      break;
  }
  // A polygon feature may hold several parts: each is a polygon of its own.
  return wkbMultiPolygon;
}

std::vector<const char*> OptionList(const std::vector<std::string>& options) {
  std::vector<const char*> list;
  for (const std::string& option : options) list.push_back(option.c_str());
  list.push_back(nullptr);
  return list;
}

}  // namespace

OgrLayerFile::OgrLayerFile(const LayerSchema& schema, OgrTarget target)
    : kind_(schema.kind), target_(std::move(target)), warnings_(schema.warnings) {
  try {
    Open(schema);
  } catch (...) {
    // The destructor does not run for a constructor that throws: the dataset
    // created so far is closed here, so that no file stays open (on Windows
    // an open file could not be removed).
    CloseQuietly();
    throw;
  }
}

void OgrLayerFile::Open(const LayerSchema& schema) {
  GdalErrorScope errors(target_.display_name, warnings_);
  GDALDriver* driver = GetGDALDriverManager()->GetDriverByName(target_.driver);
  if (driver == nullptr)
    errors.Fail(std::string("GDAL に ") + target_.driver + " のドライバーがありません");
  dataset_ = driver->Create(target_.path.c_str(), 0, 0, 0, GDT_Unknown, nullptr);
  if (dataset_ == nullptr) errors.Fail("ファイルを作成できません");
  OGRSpatialReference srs;
  if (srs.importFromEPSG(CoordSysEpsg(schema.coordsys_index)) != OGRERR_NONE) {
    errors.Fail("座標系 EPSG:" + std::to_string(CoordSysEpsg(schema.coordsys_index)) +
                " がわかりません");
  }
  // Coordinates are easting, northing whatever the EPSG axis order says.
  srs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  transformation_ = LayerTransformation(schema, srs, errors);
  auto options = OptionList(target_.layer_options);
  layer_ = dataset_->CreateLayer(std::string(schema.name).c_str(), &srs, GeometryType(kind_),
                                 const_cast<char**>(options.data()));
  if (layer_ == nullptr)
    errors.Fail("レイヤー「" + std::string(schema.name) + "」を作成できません");
  for (std::string_view column : schema.columns) {
    std::string name = target_.cp932_values ? DbfFieldName(column) : std::string(column);
    OGRFieldDefn field(name.c_str(), OFTString);
    // Codes keep their leading zeros as text; the widest DBF text column is
    // shrunk to the longest value once the file is closed (dbf_shrink).
    if (target_.cp932_values) field.SetWidth(254);
    if (layer_->CreateField(&field, FALSE) != OGRERR_NONE) {
      errors.Fail("列「" + std::string(column) + "」を作成できません");
    }
  }
  feature_ = OGRFeature::CreateFeature(layer_->GetLayerDefn());
  if (std::string_view(target_.driver) == "FlatGeobuf") {
    nulls_.emplace(target_.path, target_.display_name);
  }
}

OgrLayerFile::~OgrLayerFile() {
  CloseQuietly();
}

void OgrLayerFile::CloseQuietly() {
  if (feature_ != nullptr) OGRFeature::DestroyFeature(feature_);
  feature_ = nullptr;
  layer_ = nullptr;
  if (dataset_ != nullptr) {
    GdalErrorScope quiet(target_.display_name, nullptr);
    GDALClose(dataset_);
    dataset_ = nullptr;
  }
}

void OgrLayerFile::SetGeometry(const Feature& feature) {
  feature_->SetGeometryDirectly(OgrGeometryOf(kind_, feature.geometry));
  if (transformation_ && feature_->GetGeometryRef() != nullptr &&
      feature_->GetGeometryRef()->transform(transformation_.get()) != OGRERR_NONE) {
    // Never written untransformed: a vertex outside what the operation
    // covers (such as a grid's area) ends the run at its record.
    ConversionError error("座標を投影し直す先の座標系に変換できません");
    error.SetPlace(std::string(feature.place.file), feature.place.line);
    throw error;
  }
}

void OgrLayerFile::SetValue(int column, std::string_view value, const FeaturePlace& place) {
  if (target_.cp932_values) {
    text_.assign(value);
  } else if (!ToUtf8Value(value, text_) && warnings_ != nullptr) {
    warnings_->Warn(ReplacedValueWarning(text_), place);
  }
  feature_->SetField(column, text_.c_str());
}

void OgrLayerFile::Write(const Feature& feature) {
  GdalErrorScope errors(target_.display_name, warnings_);
  feature_->SetFID(OGRNullFID);
  SetGeometry(feature);
  const int columns = feature_->GetFieldCount();
  for (int i = 0; i < columns; ++i) {
    std::string_view value = i < static_cast<int>(feature.values.size()) ? feature.values[i] : "";
    SetValue(i, value, feature.place);
  }
  if (nulls_ && feature_->GetGeometryRef() == nullptr) {
    nulls_->Add(written_++, *feature_);
    return;
  }
  if (layer_->CreateFeature(feature_) != OGRERR_NONE) errors.Fail("地物を書き込めません");
  ++written_;
  ++written_by_gdal_;
}

// A feature of the layer's geometry type, for GDAL to write the header of a
// FlatGeobuf file that would otherwise have no feature.
void OgrLayerFile::WritePlaceholder(GdalErrorScope& errors) {
  feature_->SetFID(OGRNullFID);
  if (kind_ == GeometryKind::kPoint) {
    feature_->SetGeometryDirectly(new OGRPoint(0, 0));
  } else if (kind_ == GeometryKind::kLine) {
    auto* line = new OGRLineString();
    line->addPoint(0, 0);
    line->addPoint(1, 1);
    feature_->SetGeometryDirectly(line);
  } else {
    auto* ring = new OGRLinearRing();
    for (auto [x, y] : {std::pair{0, 0}, {1, 0}, {1, 1}, {0, 0}}) ring->addPoint(x, y);
    auto* polygon = new OGRPolygon();
    polygon->addRingDirectly(ring);
    auto* polygons = new OGRMultiPolygon();
    polygons->addGeometryDirectly(polygon);
    feature_->SetGeometryDirectly(polygons);
  }
  if (layer_->CreateFeature(feature_) != OGRERR_NONE) errors.Fail("地物を書き込めません");
}

void OgrLayerFile::Close(const std::function<void(double)>& step) {
  if (dataset_ == nullptr) return;
  GdalErrorScope errors(target_.display_name, warnings_);
  const bool placeholder = nulls_ && written_by_gdal_ == 0;
  if (placeholder) WritePlaceholder(errors);
  OGRFeature::DestroyFeature(feature_);
  feature_ = nullptr;
  GDALDataset* dataset = dataset_;
  dataset_ = nullptr;
  GDALClose(dataset);
  if (errors.failed()) errors.Fail("ファイルを書き終えられません");
  if (nulls_ && (placeholder || !nulls_->empty()))
    nulls_->Merge(
        placeholder, step ? step : [](double) {});
}

}  // namespace pelmora::gdal
