#pragma once
// One layer of the map data converted area by area by the engine's own
// converter, for a reader that asks for the features a few at a time: each
// area's features are kept until the next area is converted, so that a city
// never sits in memory whole, and the features, values and warnings are
// those of a conversion run.
#include <memory>
#include <optional>
#include <string>

#include "core/conversion/layer_converter.hpp"
#include "core/conversion/layer_table.hpp"
#include "core/conversion/observer.hpp"
#include "core/conversion/settings.hpp"
#include "core/input/input_description.hpp"
#include "core/output/memory_writer.hpp"

namespace pelmora::gdal_driver {

// Where the warnings of the conversion go.
class WarningSink {
 public:
  virtual ~WarningSink() = default;
  virtual void Warn(const Warning& warning) = 0;
};

class LayerWalk {
 public:
  // settings: the coordinate system and the polygon mode of the layer; the
  // walk keeps its own copy. sink may be null (warnings dropped).
  LayerWalk(const LayerDef& layer, const ConversionSettings& settings, WarningSink* sink);
  ~LayerWalk();
  LayerWalk(const LayerWalk&) = delete;
  LayerWalk& operator=(const LayerWalk&) = delete;

  // Converts one area: its features replace those of the area before.
  // Throws ConversionError for an error in the data (the walk is then done
  // with); warnings go to the sink unless quiet.
  void Convert(const AreaDescription& area, bool quiet);
  // Ends the layer: reports the areas converted that lacked the layer's
  // input file while others had it.
  void Finish(bool quiet);

  const StoredLayer& features() const { return *features_; }

 private:
  class Reporter;
  class BufferWriter;

  ConversionSettings settings_;
  std::unique_ptr<Reporter> reporter_;
  std::unique_ptr<StoredLayer> features_;
  std::unique_ptr<LayerConverter> converter_;
};

}  // namespace pelmora::gdal_driver
