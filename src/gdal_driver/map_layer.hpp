#pragma once
// One layer of the layer table read through GDAL: its features converted on
// the first read, area by area, numbered 1, 2, ... in the converter's order.
// What a read learns of each area (its count of features and their extent)
// is kept, so that later counts and extents are at hand and a spatial filter
// passes over the areas that lie outside it without converting them again.
// Before the first read, counts come from the areas' record lines, and a
// spatial filter passes over the areas whose map sheets lie outside it.
#include <ogrsf_frmts.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/conversion/layer_table.hpp"
#include "layer_walk.hpp"

namespace pelmora::gdal_driver {

class MapDataset;

class MapLayer : public OGRLayer {
 public:
  MapLayer(MapDataset& dataset, const LayerDef& layer, OGRSpatialReference* srs);
  ~MapLayer() override;

  void ResetReading() override;
  OGRFeature* GetNextFeature() override;
  // The feature of the id, from its area converted anew (kept for the next
  // call), without moving the reading.
  OGRFeature* GetFeature(GIntBig fid) override;
  OGRFeatureDefn* GetLayerDefn() override { return defn_; }
  GIntBig GetFeatureCount(int force) override;
  OGRErr GetExtent(OGREnvelope* extent, int force) override;
  OGRErr GetExtent(int geom_field, OGREnvelope* extent, int force) override;
  int TestCapability(const char* capability) override;
  GDALDataset* GetDataset() override;

 private:
  // What is known of one area once it has been converted.
  struct AreaSummary {
    uint64_t features = 0;
    OGREnvelope extent;  // of its vertices; not initialised when it has none
  };

  // Where the read is.
  struct Cursor {
    std::unique_ptr<LayerWalk> walk;
    size_t next_area = 0;
    size_t next_feature = 0;       // in the walk's current area
    GIntBig fids_before_area = 0;  // features of the areas before the current one
    bool skipped_area = false;     // an area was passed over by the filter
    bool quiet = false;            // the current area's warnings were given before
    bool done = false;             // through the last area, or failed
  };

  bool NextArea(Cursor& cursor, bool filtered);
  std::optional<uint64_t> PassOver(size_t area);
  std::optional<uint64_t> CountOf(size_t area);
  bool AllAreasKnown() const;
  void Learn(size_t area, const StoredLayer& features);
  // Converts every area once, to learn its count and extent (no feature is
  // made); false after an error, which has been reported.
  bool Survey();
  OGRFeature* MakeFeature(const StoredLayer& features, size_t f, GIntBig fid, bool warn);
  OGRGeometry* MakeGeometry(const TSFShape& shape) const;

  MapDataset& dataset_;
  const LayerDef& layer_;
  OGRFeatureDefn* defn_;
  OGRSpatialReference* srs_;
  Cursor cursor_;
  // The area GetFeature converted last, and which it is.
  std::unique_ptr<LayerWalk> random_walk_;
  size_t random_area_ = 0;
  std::vector<std::optional<AreaSummary>> areas_;  // per area of the dataset
  // Per area, its features counted from its records (nothing: they cannot
  // be), once counted.
  std::vector<std::optional<std::optional<uint64_t>>> counted_;
  std::vector<bool> area_warned_;  // its warnings were given
  bool end_warned_ = false;        // the layer's end warnings were given
  Feature scratch_;                // a feature taken from the store
  std::string text_;               // a value being turned into UTF-8
};

}  // namespace pelmora::gdal_driver
