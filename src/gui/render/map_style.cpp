#include "map_style.hpp"

#include "core/conversion/layer_table.hpp"

namespace pelmora::render {
namespace {

enum Group { kRoad, kAdmin, kBlock, kBuilding, kWater, kRail, kSite, kControl, kFrame };

QPen Line(QColor colour, double width, Qt::PenStyle style = Qt::SolidLine) {
  QPen pen(colour, width, style);
  pen.setCosmetic(true);  // widths in pixels at any zoom
  pen.setJoinStyle(Qt::RoundJoin);
  pen.setCapStyle(Qt::FlatCap);
  return pen;
}

// Areas lie under lines, lines under symbols, frames and their numbers on
// top; within each, the smaller things over the larger ones.
LayerStyle AreaStyle(int group) {
  switch (group) {
    case kAdmin:
      return {.pen = Line(QColor(150, 110, 180), 1), .brush = QColor(246, 242, 250), .z = 0};
    case kBlock:
      return {.pen = Line(QColor(200, 180, 150), 1), .brush = QColor(245, 238, 224), .z = 1};
    case kSite:
      return {.pen = Line(QColor(90, 150, 60), 1), .brush = QColor(205, 232, 190), .z = 2};
    case kRail:
      return {.pen = Line(QColor(170, 170, 170), 1), .brush = QColor(228, 228, 228), .z = 2};
    case kWater:
      return {.pen = Line(QColor(70, 140, 210), 1), .brush = QColor(168, 208, 240), .z = 3};
    case kBuilding:
      return {.pen = Line(QColor(150, 95, 70), 1), .brush = QColor(220, 170, 145), .z = 4};
    default:
      return {.pen = Line(Qt::darkGray, 1), .brush = QColor(230, 230, 230), .z = 0};
  }
}

LayerStyle LineStyle(const LayerDef& layer) {
  switch (layer.group) {
    case kRoad:
      return {.pen = Line(QColor(128, 128, 128), 1.5), .z = 13};
    case kAdmin: {
      bool prefecture = layer.type_code == "L1101";
      return {.pen = Line(QColor(130, 80, 170), prefecture ? 2 : 1, Qt::DashDotLine), .z = 10};
    }
    case kWater:
      return {.pen = Line(QColor(40, 110, 200), 1.2), .z = 12};
    case kRail:
      if (layer.type_code == "L2300")  // the track itself: black with white dashes
        return {.pen = Line(Qt::black, 3), .overlay = Line(Qt::white, 1.5, Qt::DashLine), .z = 14};
      return {.pen = Line(QColor(170, 170, 170), 1), .z = 11};
    case kSite:
      return {.pen = Line(QColor(90, 150, 60), 1), .z = 11};
    case kBuilding:
      return {.pen = Line(QColor(150, 95, 70), 1), .z = 11};
    default:
      return {.pen = Line(QColor(200, 180, 150), 1), .z = 10};
  }
}

}  // namespace

QColor LayerStyle::Swatch() const {
  if (brush.style() != Qt::NoBrush) return brush.color();
  if (symbol == Symbol::kStation) return QColor(220, 40, 40);
  return pen.color();
}

LayerStyle StyleForLayer(std::string_view base_name) {
  for (const LayerDef& layer : LayerTable()) {
    if (layer.base_name != base_name) continue;
    switch (layer.kind) {
      case LayerKind::kPolygon:
        return AreaStyle(layer.group);
      case LayerKind::kLine:
        return LineStyle(layer);
      case LayerKind::kPoint:
        return {.pen = Line(Qt::black, 1),
                .symbol = layer.group == kRail ? Symbol::kStation : Symbol::kTriangulation,
                .z = 20};
      case LayerKind::kFrame:
        return {.pen = Line(QColor(200, 0, 120), 1.5, Qt::DashLine), .label_sheet = true, .z = 30};
    }
  }
  return {.pen = Line(Qt::darkGray, 1), .z = 10};
}

}  // namespace pelmora::render
