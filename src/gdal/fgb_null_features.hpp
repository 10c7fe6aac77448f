#pragma once
// FlatGeobuf features without geometry. The format stores a feature whose
// geometry is absent, but GDAL's driver (3.6) skips such a feature when it
// writes, and for a layer without any feature it writes nothing at all, not
// even the header, leaving a file no reader opens. So the features without
// geometry are encoded here as the format stores them, kept with their
// position in a side file while GDAL writes the others, and merged into
// GDAL's file in their places once it is closed. A layer that GDAL would
// leave without features gets one placeholder feature, so that GDAL writes
// the header, and the merge drops it.
//
// The merge reads GDAL's file as it writes it without a spatial index: the
// magic bytes, the size-prefixed header (with the count of the features
// GDAL wrote, which the merge corrects), then size-prefixed features in
// order.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "core/io/output_file.hpp"

class OGRFeature;

namespace pelmora::gdal {

// The feature's values as the format stores them, and no geometry: a
// size-prefixed Feature table holding only its properties (each set field:
// its index as uint16, then the length as uint32 and the UTF-8 bytes).
std::string EncodeFeatureWithoutGeometry(const OGRFeature& feature);

class FgbNullFeatures {
 public:
  // fgb_path: GDAL's file; the side and merge files are named after it (so a
  // killed run's leftovers are cleared with it). display_name names the
  // output file in messages.
  FgbNullFeatures(std::string fgb_path, std::string display_name);
  ~FgbNullFeatures();  // removes the side and merge files
  FgbNullFeatures(const FgbNullFeatures&) = delete;
  FgbNullFeatures& operator=(const FgbNullFeatures&) = delete;

  // Keeps the feature to go at position (0-based, among all the layer's
  // features). Positions come in increasing order. Throws IoError.
  void Add(uint64_t position, const OGRFeature& feature);
  bool empty() const { return !side_; }

  // Rewrites GDAL's closed file with the features kept in their positions,
  // dropping GDAL's first feature when it is the placeholder. step(done) is
  // called now and then with the share of the file gone through (0 to 1)
  // and may throw to stop. Throws IoError; GDAL's file is then unchanged.
  void Merge(bool drop_placeholder, const std::function<void(double)>& step);

 private:
  std::string fgb_path_, side_path_, merge_path_, display_name_;
  std::optional<OutputFile> side_;  // once a feature is kept
  uint64_t count_ = 0;              // features kept
};

}  // namespace pelmora::gdal
