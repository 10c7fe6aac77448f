// The marks that keep their size on the screen: symbols that shrink when the
// map is seen whole, and sheet numbers that neither overlap nor leave the
// view.
#include "map_marks.hpp"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "map_painter.hpp"
#include "stored_shapes.hpp"

namespace pelmora::render {
namespace {

// The pixels a layer of one point draws at that scale, around the point.
int SymbolPixels(const std::string& layer_name, double pixels_per_metre) {
  std::vector<StoredLayer> layers;
  layers.push_back(ShapeLayer(layer_name, GeometryKind::kPoint, {{{0, 0}}}));
  MapScene scene(std::move(layers));
  ViewTransform view;
  view.SetSize(QSize(60, 60));
  view.SetCentre(0, 0, pixels_per_metre);
  QImage image(view.size(), QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  DrawMap(painter, scene, view);
  painter.end();
  int drawn = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) drawn += image.pixel(x, y) != qRgb(255, 255, 255);
  return drawn;
}

// A city seen whole (20 km across 1000 pixels) shows its stations and
// control points as small marks, not as full symbols that cover the map; a
// sheet across the window shows them whole.
TEST(MapMarks, SymbolsShrinkAtOverviewScales) {
  for (const char* name : {"Tesudou_Eki_Pnt", "Kijunten_Sankakuten_Pnt"}) {
    int close = SymbolPixels(name, 1.0), sheet = SymbolPixels(name, 0.5);
    int city = SymbolPixels(name, 0.05);
    EXPECT_EQ(sheet, close) << name;
    EXPECT_GT(city, 0) << name;
    EXPECT_LE(city * 3, close) << name << ": " << city << " of " << close;
  }
  EXPECT_DOUBLE_EQ(SymbolScale(2.0), 1.0);
  EXPECT_LT(SymbolScale(0.1), SymbolScale(0.3));
}

bool Inside(const QRectF& inner, const QRectF& outer) {
  return outer.contains(inner.topLeft()) && outer.contains(inner.bottomRight());
}

// Each label lies in the part of its frame that the view shows, inside the
// view, and overlaps no other; a label that cannot be placed so is left out.
TEST(MapMarks, SheetNumbersNeitherOverlapNorLeaveTheView) {
  const QRectF view(0, 0, 400, 300);
  const QSizeF label(60, 16);
  struct Case {
    const char* name;
    std::vector<QRectF> frames;
    size_t placed;
  };
  std::vector<QRectF> row_of_small;  // 40 frames of 30 × 30 pixels: too small for their numbers
  std::vector<QRectF> side_by_side;  // 8 frames of 100 × 80 pixels, half the row out of view
  for (int i = 0; i < 40; ++i) row_of_small.push_back(QRectF(i * 10, 100, 30, 30));
  for (int i = 0; i < 8; ++i) side_by_side.push_back(QRectF(-200 + i * 100, 250, 100, 80));
  for (const Case& c : std::vector<Case>{
           {"centre off the view", {QRectF(-500, -400, 700, 500)}, 1},
           {"too small", row_of_small, 0},
           {"one over another", {QRectF(50, 50, 200, 100), QRectF(60, 55, 200, 100)}, 1},
           {"a row along the lower edge", side_by_side, 4},
       }) {
    SCOPED_TRACE(c.name);
    std::vector<LabelRequest> requests;
    for (const QRectF& frame : c.frames) requests.push_back({frame, label});
    std::vector<std::optional<QRectF>> placed = PlaceLabels(requests, view);
    ASSERT_EQ(placed.size(), c.frames.size());
    std::vector<QRectF> shown;
    for (size_t i = 0; i < placed.size(); ++i) {
      if (!placed[i]) continue;
      EXPECT_TRUE(Inside(*placed[i], view));
      EXPECT_TRUE(Inside(*placed[i], c.frames[i]));
      EXPECT_EQ(placed[i]->size(), label);
      for (const QRectF& other : shown) EXPECT_FALSE(other.intersects(*placed[i]));
      shown.push_back(*placed[i]);
    }
    EXPECT_EQ(shown.size(), c.placed);
  }
}

}  // namespace
}  // namespace pelmora::render
