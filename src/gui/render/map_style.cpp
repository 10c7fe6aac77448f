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

// The groups from the bottom of the map to its top: the layer list shows
// them the other way round, the group drawn last at the top. Blocks tile
// the sheet and lie lowest; the sites, water and buildings inside them
// above; then the administrative boundaries, roads, railways, control
// points and the sheet frames with their numbers.
constexpr int kDrawRank[] = {
    /*kRoad*/ 5, /*kAdmin*/ 4, /*kBlock*/ 0,   /*kBuilding*/ 3, /*kWater*/ 2,
    /*kRail*/ 6, /*kSite*/ 1,  /*kControl*/ 7, /*kFrame*/ 8};

// Within a group, areas lie under lines and lines under symbols.
int DrawOrder(const LayerDef& layer) {
  int kind = layer.kind == LayerKind::kPolygon ? 0 : layer.kind == LayerKind::kLine ? 1 : 2;
  return kDrawRank[layer.group] * 10 + kind;
}

LayerStyle AreaStyle(int group) {
  switch (group) {
    case kAdmin:  // outlines only: they lie over the blocks they enclose
      return {.pen = Line(QColor(150, 110, 180), 1)};
    case kBlock:
      return {.pen = Line(QColor(200, 180, 150), 1), .brush = QColor(245, 238, 224)};
    case kSite:
      return {.pen = Line(QColor(90, 150, 60), 1), .brush = QColor(205, 232, 190)};
    case kRail:
      return {.pen = Line(QColor(170, 170, 170), 1), .brush = QColor(228, 228, 228)};
    case kWater:
      return {.pen = Line(QColor(70, 140, 210), 1), .brush = QColor(168, 208, 240)};
    case kBuilding:
      return {.pen = Line(QColor(150, 95, 70), 1), .brush = QColor(220, 170, 145)};
    default:
      return {.pen = Line(Qt::darkGray, 1), .brush = QColor(230, 230, 230)};
  }
}

LayerStyle LineStyle(const LayerDef& layer) {
  switch (layer.group) {
    case kRoad:
      return {.pen = Line(QColor(128, 128, 128), 1.5)};
    case kAdmin: {
      bool prefecture = layer.type_code == "L1101";
      return {.pen = Line(QColor(130, 80, 170), prefecture ? 2 : 1, Qt::DashDotLine)};
    }
    case kWater:
      return {.pen = Line(QColor(40, 110, 200), 1.2)};
    case kRail:
      if (layer.type_code == "L2300")  // the track itself: black with white dashes
        return {.pen = Line(Qt::black, 3), .overlay = Line(Qt::white, 1.5, Qt::DashLine)};
      return {.pen = Line(QColor(170, 170, 170), 1)};
    case kSite:
      return {.pen = Line(QColor(90, 150, 60), 1)};
    case kBuilding:
      return {.pen = Line(QColor(150, 95, 70), 1)};
    default:
      return {.pen = Line(QColor(200, 180, 150), 1)};
  }
}

LayerStyle StyleOfKind(const LayerDef& layer) {
  switch (layer.kind) {
    case LayerKind::kPolygon:
      return AreaStyle(layer.group);
    case LayerKind::kLine:
      return LineStyle(layer);
    case LayerKind::kPoint:
      return {.pen = Line(Qt::black, 1),
              .symbol = layer.group == kRail ? Symbol::kStation : Symbol::kTriangulation};
    case LayerKind::kFrame:
      return {.pen = Line(QColor(200, 0, 120), 1.5, Qt::DashLine), .label_sheet = true};
  }
  return {.pen = Line(Qt::darkGray, 1)};
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
    LayerStyle style = StyleOfKind(layer);
    style.group = layer.group;
    style.z = DrawOrder(layer);
    return style;
  }
  // Unknown layers: between the roads and the railways, in no group.
  return {.pen = Line(Qt::darkGray, 1), .z = kDrawRank[kRoad] * 10 + 2};
}

}  // namespace pelmora::render
