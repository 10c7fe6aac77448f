#pragma once
// How each layer looks on the map, by its group and kind, in colours a GIS
// user expects, and in which order the layers are drawn: grey roads,
// outlined blocks and administrative areas, blue
// water, black-and-white railways, green sites, symbols for stations and
// triangulation points, sheet frames with their numbers.
#include <QBrush>
#include <QColor>
#include <QPen>
#include <string_view>

namespace pelmora::render {

enum class Symbol { kNone, kStation, kTriangulation };

struct LayerStyle {
  QPen pen;
  QBrush brush = Qt::NoBrush;  // polygons only
  QPen overlay = Qt::NoPen;    // drawn over pen (the white dashes of railways)
  Symbol symbol = Symbol::kNone;
  bool label_sheet = false;  // write the feature's first value at its centre
  int group = -1;            // the layer group (0 to 8, as the layer table), -1 for none
  int z = 0;                 // drawing order: lower first, by group and then by kind
  QColor Swatch() const;     // the colour the layer list shows
};

// The style of the layer with that base name; a grey line for a name the
// layer table does not know.
LayerStyle StyleForLayer(std::string_view base_name);

}  // namespace pelmora::render
