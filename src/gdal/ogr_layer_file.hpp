#pragma once
// One layer written through GDAL into a dataset of its own: the dataset is
// created with the layer's geometry type, EPSG coordinate system and text
// columns, takes the features in order, and is closed. Every GDAL format
// writes its layers (or, for GeoPackage, buffers them) through this.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/features/feature.hpp"
#include "fgb_null_features.hpp"

class GDALDataset;
class OGRLayer;
class OGRFeature;
class OGRCoordinateTransformation;

namespace pelmora::gdal {

class GdalErrorScope;

struct OgrTarget {
  const char* driver = nullptr;  // GDAL's driver name
  std::string path;              // of the dataset (a temporary path)
  std::string display_name;      // the output file as messages name it
  // Values as read (code page 932) rather than converted to UTF-8, with
  // short column names in code page 932 (the Shapefile's DBF).
  bool cp932_values = false;
  std::vector<std::string> layer_options;  // "KEY=VALUE"
};

class OgrLayerFile {
 public:
  // Throws ConversionError, leaving no dataset open.
  OgrLayerFile(const LayerSchema& schema, OgrTarget target);
  ~OgrLayerFile();  // closes without reporting
  OgrLayerFile(const OgrLayerFile&) = delete;
  OgrLayerFile& operator=(const OgrLayerFile&) = delete;

  void Write(const Feature& feature);
  // Completes and closes the dataset. A long completion calls step(done)
  // now and then with the share done (0 to 1); it may throw to stop.
  // Throws ConversionError.
  void Close(const std::function<void(double)>& step = {});
  // The layer, while the dataset is open.
  OGRLayer& layer() { return *layer_; }

 private:
  void Open(const LayerSchema& schema);
  void CloseQuietly();
  void SetGeometry(const Feature& feature);
  void SetValue(int column, std::string_view value, const FeaturePlace& place);
  void WritePlaceholder(GdalErrorScope& errors);

  GeometryKind kind_;
  OgrTarget target_;
  WriterWarnings* warnings_;
  GDALDataset* dataset_ = nullptr;
  OGRLayer* layer_ = nullptr;
  OGRFeature* feature_ = nullptr;  // reused for every feature
  // Into the target coordinate system; null when the zone's is kept.
  std::unique_ptr<OGRCoordinateTransformation> transformation_;
  std::string text_;  // a value being converted, reused
  // FlatGeobuf: the features GDAL's driver would skip, merged in on Close.
  std::optional<FgbNullFeatures> nulls_;
  uint64_t written_ = 0;          // features taken
  uint64_t written_by_gdal_ = 0;  // of them, handed to GDAL
};

}  // namespace pelmora::gdal
