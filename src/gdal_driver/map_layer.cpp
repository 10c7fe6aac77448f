#include "map_layer.hpp"

#include <ogr_geometry.h>

#include <algorithm>

#include "core/conversion/layer_converter.hpp"
#include "gdal/ogr_geometry.hpp"
#include "gdal/utf8_values.hpp"
#include "gdal_messages.hpp"
#include "map_dataset.hpp"
#include "record_count.hpp"

namespace pelmora::gdal_driver {
namespace {

OGRwkbGeometryType GeometryType(LayerKind kind) {
  switch (kind) {
    case LayerKind::kLine:
      return wkbLineString;
    case LayerKind::kPoint:
      return wkbPoint;
    case LayerKind::kFrame:
      return wkbPolygon;  // one rectangle per area
    case LayerKind::kPolygon:
      break;
  }
  return wkbMultiPolygon;  // assembled polygons may have several parts
}

}  // namespace

MapLayer::MapLayer(MapDataset& dataset, const LayerDef& layer, OGRSpatialReference* srs)
    : dataset_(dataset),
      layer_(layer),
      defn_(new OGRFeatureDefn(std::string(layer.base_name).c_str())),
      srs_(srs),
      areas_(dataset.areas().size()),
      counted_(dataset.areas().size()),
      area_warned_(dataset.areas().size(), false) {
  defn_->Reference();
  defn_->SetGeomType(GeometryType(layer.kind));
  if (srs_ != nullptr) defn_->GetGeomFieldDefn(0)->SetSpatialRef(srs_);
  for (std::string_view column : layer.columns) {
    OGRFieldDefn field(std::string(column).c_str(), OFTString);
    defn_->AddFieldDefn(&field);
  }
  SetDescription(defn_->GetName());
  SetMetadataItem("DESCRIPTION", std::string(LayerCaption(layer)).c_str());
}

MapLayer::~MapLayer() {
  defn_->Release();
}

GDALDataset* MapLayer::GetDataset() {
  return &dataset_;
}

void MapLayer::ResetReading() {
  cursor_ = Cursor{};
}

OGRFeature* MapLayer::GetNextFeature() {
  try {
    while (!cursor_.done) {
      if (cursor_.walk) {
        const StoredLayer& features = cursor_.walk->features();
        while (cursor_.next_feature < features.size()) {
          const size_t f = cursor_.next_feature++;
          const GIntBig fid = cursor_.fids_before_area + static_cast<GIntBig>(f) + 1;
          std::unique_ptr<OGRFeature> feature(MakeFeature(features, f, fid, !cursor_.quiet));
          if (m_poFilterGeom != nullptr && !FilterGeometry(feature->GetGeometryRef())) continue;
          if (m_poAttrQuery != nullptr && !m_poAttrQuery->Evaluate(feature.get())) continue;
          return feature.release();
        }
      }
      if (!NextArea(cursor_, m_poFilterGeom != nullptr)) cursor_.done = true;
    }
  } catch (...) {
    // The layer reading stops at an error in the data, as a run does.
    ReportCurrentException();
    cursor_.walk.reset();
    cursor_.done = true;
  }
  return nullptr;
}

// Converts the next area to be read (passing over those a filter rules
// out), or ends the layer; false at its end.
bool MapLayer::NextArea(Cursor& cursor, bool filtered) {
  const std::vector<AreaDescription>& areas = dataset_.areas();
  if (!cursor.walk) {
    cursor.walk = std::make_unique<LayerWalk>(layer_, dataset_.settings(), &dataset_.warnings());
  } else {
    cursor.fids_before_area += static_cast<GIntBig>(cursor.walk->features().size());
  }
  while (cursor.next_area < areas.size()) {
    const size_t area = cursor.next_area++;
    if (const std::optional<uint64_t> passed = filtered ? PassOver(area) : std::nullopt) {
      cursor.fids_before_area += static_cast<GIntBig>(*passed);
      cursor.skipped_area = true;
      continue;
    }
    cursor.quiet = area_warned_[area];
    area_warned_[area] = true;
    cursor.walk->Convert(areas[area], cursor.quiet);
    cursor.next_feature = 0;
    Learn(area, cursor.walk->features());
    return true;
  }
  // The areas that lack the layer's file are known only after all of them.
  const bool quiet = end_warned_ || cursor.skipped_area;
  if (!cursor.skipped_area) end_warned_ = true;
  cursor.walk->Finish(quiet);
  cursor.walk.reset();
  return false;
}

// An area can be passed over when the number of its features is known (so
// that the ids of the later ones stay as they are) and they lie outside the
// filter: their extent, once a read has learnt it, or before that the frame
// of the area's map sheet. Returns that number, or nothing when the area must
// be converted.
std::optional<uint64_t> MapLayer::PassOver(size_t area) {
  if (const std::optional<AreaSummary>& summary = areas_[area]) {
    const bool outside = summary->features == 0 || !summary->extent.IsInit() ||
                         !summary->extent.Intersects(m_sFilterEnvelope);
    return outside ? std::optional<uint64_t>(summary->features) : std::nullopt;
  }
  const std::optional<SheetFrame>& frame = dataset_.areas()[area].frame;
  if (!frame) return std::nullopt;
  OGREnvelope sheet;
  sheet.Merge(frame->min_x, frame->min_y);
  sheet.Merge(frame->max_x, frame->max_y);
  if (sheet.Intersects(m_sFilterEnvelope)) return std::nullopt;
  return CountOf(area);
}

// The area's features as a read learnt them, or counted from its records.
std::optional<uint64_t> MapLayer::CountOf(size_t area) {
  if (areas_[area]) return areas_[area]->features;
  if (!counted_[area]) counted_[area] = CountFeatures(layer_, dataset_.areas()[area]);
  return *counted_[area];
}

OGRFeature* MapLayer::GetFeature(GIntBig fid) {
  try {
    if (fid < 1) return nullptr;
    GIntBig before = 0;
    for (size_t area = 0; area < areas_.size(); ++area) {
      std::optional<uint64_t> features = CountOf(area);
      if (!features) {
        if (!Survey()) return nullptr;
        features = CountOf(area);
      }
      const auto count = static_cast<GIntBig>(*features);
      if (fid > before + count) {
        before += count;
        continue;
      }
      if (!random_walk_ || random_area_ != area) {
        random_walk_.reset();
        auto walk = std::make_unique<LayerWalk>(layer_, dataset_.settings(), nullptr);
        walk->Convert(dataset_.areas()[area], true);
        random_walk_ = std::move(walk);
        random_area_ = area;
      }
      const auto f = static_cast<size_t>(fid - before - 1);
      // The files may have changed since the area was counted.
      if (f >= random_walk_->features().size()) return nullptr;
      return MakeFeature(random_walk_->features(), f, fid, false);
    }
  } catch (...) {
    ReportCurrentException();
    random_walk_.reset();
  }
  return nullptr;
}

bool MapLayer::AllAreasKnown() const {
  return std::all_of(areas_.begin(), areas_.end(),
                     [](const auto& area) { return area.has_value(); });
}

void MapLayer::Learn(size_t area, const StoredLayer& features) {
  AreaSummary summary;
  summary.features = features.size();
  for (size_t f = 0; f < features.size(); ++f) {
    for (const TSFPoint& p : features.Geometry(f).points) summary.extent.Merge(p.X, p.Y);
  }
  areas_[area] = summary;
}

bool MapLayer::Survey() {
  Cursor survey;
  try {
    while (NextArea(survey, false)) {
    }
  } catch (...) {
    ReportCurrentException();
    return false;
  }
  return true;
}

// Counted from the areas' records until a read has learnt the areas' counts;
// a layer whose records cannot all be counted is converted once to count it.
GIntBig MapLayer::GetFeatureCount(int force) {
  if (m_poFilterGeom != nullptr || m_poAttrQuery != nullptr) {
    return OGRLayer::GetFeatureCount(force);
  }
  GIntBig count = 0;
  for (size_t area = 0; area < areas_.size(); ++area) {
    if (!areas_[area] && !counted_[area] && !force) return -1;
    const std::optional<uint64_t> features = CountOf(area);
    if (!features) return Survey() ? GetFeatureCount(FALSE) : -1;
    count += static_cast<GIntBig>(*features);
  }
  return count;
}

OGRErr MapLayer::GetExtent(OGREnvelope* extent, int force) {
  OGREnvelope all;
  for (const std::optional<AreaSummary>& area : areas_) {
    if (!area) {
      if (!force || !Survey()) return OGRERR_FAILURE;
      return GetExtent(extent, FALSE);
    }
    if (area->extent.IsInit()) all.Merge(area->extent);
  }
  if (!all.IsInit()) return OGRERR_FAILURE;
  *extent = all;
  return OGRERR_NONE;
}

OGRErr MapLayer::GetExtent(int geom_field, OGREnvelope* extent, int force) {
  if (geom_field != 0) return OGRERR_FAILURE;
  return GetExtent(extent, force);
}

int MapLayer::TestCapability(const char* capability) {
  const bool all_known = AllAreasKnown();
  if (EQUAL(capability, OLCStringsAsUTF8) || EQUAL(capability, OLCRandomRead)) return TRUE;
  if (EQUAL(capability, OLCFastFeatureCount)) {
    return all_known && m_poFilterGeom == nullptr && m_poAttrQuery == nullptr;
  }
  if (EQUAL(capability, OLCFastGetExtent)) return all_known;
  return FALSE;
}

OGRGeometry* MapLayer::MakeGeometry(const TSFShape& shape) const {
  const GeometryKind kind = layer_.kind == LayerKind::kLine    ? GeometryKind::kLine
                            : layer_.kind == LayerKind::kPoint ? GeometryKind::kPoint
                                                               : GeometryKind::kPolygon;
  OGRGeometry* geometry = gdal::OgrGeometryOf(kind, shape);
  if (geometry != nullptr && layer_.kind == LayerKind::kFrame) {
    geometry = OGRGeometryFactory::forceToPolygon(geometry);
  }
  return geometry;
}

OGRFeature* MapLayer::MakeFeature(const StoredLayer& features, size_t f, GIntBig fid, bool warn) {
  auto feature = std::make_unique<OGRFeature>(defn_);
  feature->SetFID(fid);
  features.Get(f, scratch_);
  // An empty object (MIF's none) is a feature without geometry, as the
  // converter's GDAL formats write it.
  if (OGRGeometry* geometry = MakeGeometry(scratch_.geometry)) {
    geometry->assignSpatialReference(srs_);
    feature->SetGeometryDirectly(geometry);
  }
  for (int column = 0; column < defn_->GetFieldCount(); ++column) {
    if (!gdal::ToUtf8Value(features.Value(f, static_cast<size_t>(column)), text_) && warn) {
      dataset_.warnings().Warn({WarningKind::kOutputFormat, gdal::ReplacedValueWarning(text_),
                                features.File(f), features.Line(f)});
    }
    feature->SetField(column, text_.c_str());
  }
  return feature.release();
}

}  // namespace pelmora::gdal_driver
