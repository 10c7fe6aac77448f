// The converter of each kind of layer.
#include "kind_converters.hpp"

namespace pelmora {

std::unique_ptr<LayerConverter> MakeLayerConverter(const LayerDef& layer, LayerReporter& reporter) {
  switch (layer.kind) {
    case LayerKind::kLine:
      return std::make_unique<LineConverter>(layer, reporter);
    case LayerKind::kPolygon:
      return std::make_unique<PolygonConverter>(layer, reporter);
    case LayerKind::kPoint:
      return std::make_unique<PointConverter>(layer, reporter);
    case LayerKind::kFrame:
      break;
  }
  return std::make_unique<FrameConverter>(layer, reporter);
}

}  // namespace pelmora
