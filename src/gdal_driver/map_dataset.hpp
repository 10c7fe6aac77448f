#pragma once
// A GDAL dataset over map-data folders: the layers of the layer table that
// have input files there, the areas in the converter's order, and the
// settings every layer converts with (coordinate system, polygon mode).
// Each dataset keeps all of its state, so that datasets opened on several
// threads read at once without touching each other.
#include <gdal_priv.h>

#include <memory>
#include <vector>

#include "core/conversion/settings.hpp"
#include "core/input/input_description.hpp"
#include "gdal_messages.hpp"
#include "layer_walk.hpp"
#include "map_layer.hpp"
#include "source_folders.hpp"

namespace pelmora::gdal_driver {

class MapDataset : public GDALDataset {
 public:
  // Opens the connection string of info, or returns null (with a CPLError
  // saying why when the folders cannot be read as map data).
  static MapDataset* Open(GDALOpenInfo* info);
  ~MapDataset() override;

  int GetLayerCount() override { return static_cast<int>(layers_.size()); }
  OGRLayer* GetLayer(int index) override;
  int TestCapability(const char*) override { return FALSE; }

  const std::vector<AreaDescription>& areas() const { return input_.areas; }
  const ConversionSettings& settings() const { return settings_; }
  WarningSink& warnings() { return warnings_; }

 private:
  MapDataset() = default;
  bool ReadOptions(CSLConstList options);
  void ChooseCoordinateSystem(bool asked);

  InputDescription input_;  // the areas read, in the converter's order
  ConversionSettings settings_;
  CplWarnings warnings_;
  OGRSpatialReference* srs_ = nullptr;
  std::vector<std::unique_ptr<MapLayer>> layers_;
};

}  // namespace pelmora::gdal_driver
