#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "map_painter.hpp"
#include "map_scene.hpp"
#include "stored_shapes.hpp"
#include "view_transform.hpp"

namespace pelmora::render {
namespace {

// count square blocks of 6 m on a 10 m grid, 300 in the first row, 60 above, and a road along
// the bottom: an L of blocks when the rows above the first are cut short, so
// that a picture placed wrongly shows.
MapScene Blocks(int count) {
  StoredLayer blocks = ShapeLayer("Gaiku_Gaiku_Pgn", GeometryKind::kPolygon);
  for (int i = 0; static_cast<int>(blocks.size()) < count; ++i) {
    int row = i / 300, column = i % 300;
    if (row > 0 && column >= 60) continue;  // the L's upright
    double x = column * 10, y = row * 10;
    AddShape(blocks, {{x, y}, {x + 6, y}, {x + 6, y + 6}, {x, y + 6}, {x, y}});
  }
  std::vector<StoredLayer> layers;
  layers.push_back(std::move(blocks));
  layers.push_back(ShapeLayer("Doro_Doro_Arc", GeometryKind::kLine, {{{0, -5}, {3000, -5}}}));
  return MapScene(std::move(layers));
}

QImage Draw(const MapScene& scene, const ViewTransform& view) {
  QImage image(view.size(), QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  DrawMap(painter, scene, view);
  painter.end();
  return image;
}

// The largest difference of a colour channel between the two pictures
// reduced to blocks of 16 pixels: the overview may blur edges, never move.
int CoarseDifference(const QImage& a, const QImage& b) {
  QSize coarse = a.size() / 16;
  QImage small_a = a.scaled(coarse, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  QImage small_b = b.scaled(coarse, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  int worst = 0;
  for (int y = 0; y < coarse.height(); ++y)
    for (int x = 0; x < coarse.width(); ++x) {
      QColor p = small_a.pixelColor(x, y), q = small_b.pixelColor(x, y);
      worst = std::max({worst, std::abs(p.red() - q.red()), std::abs(p.green() - q.green()),
                        std::abs(p.blue() - q.blue())});
    }
  return worst;
}

TEST(Overview, OnlyAMapOfManyFeaturesGetsOne) {
  for (auto [count, expected] : {std::pair{1000, false}, std::pair{70000, true}}) {
    MapScene scene = Blocks(count);
    BuildOverview(scene);
    EXPECT_EQ(!scene.Overview().image.isNull(), expected) << count;
  }
}

TEST(Overview, ShowsTheMapWhereDrawingItDirectlyWould) {
  MapScene scene = Blocks(70000);
  ViewTransform view;
  view.SetSize(QSize(1280, 800));
  view.Fit(scene.Extent());
  QImage direct = Draw(scene, view);
  BuildOverview(scene);
  ASSERT_FALSE(scene.Overview().image.isNull());
  EXPECT_GE(scene.Overview().pixels_per_metre, view.PixelsPerMetre() * 3);
  const struct {
    const char* what;
    double zoom;  // from the whole map, about the view's centre
    QPointF pan;
  } views[] = {{"whole map", 1, {}}, {"zoomed in twice", 2, {}}, {"moved", 1.5, {300, -120}}};
  for (const auto& v : views) {
    SCOPED_TRACE(v.what);
    ViewTransform moved = view;
    moved.ZoomAt(QPointF(640, 400), v.zoom);
    moved.PanBy(v.pan);
    scene.SetOverview({});
    QImage expected = Draw(scene, moved);
    BuildOverview(scene);
    EXPECT_LE(CoarseDifference(Draw(scene, moved), expected), 60);
    // The measure tells a picture three blocks out of place.
    ViewTransform off = moved;
    off.PanBy({48, 48});
    EXPECT_GT(CoarseDifference(Draw(scene, off), expected), 60);
  }
}

TEST(Overview, HidingOrShowingALayerDropsIt) {
  MapScene scene = Blocks(70000);
  BuildOverview(scene);
  scene.SetVisible(1, true);  // no change
  EXPECT_FALSE(scene.Overview().image.isNull());
  scene.SetVisible(1, false);
  EXPECT_TRUE(scene.Overview().image.isNull());
}

}  // namespace
}  // namespace pelmora::render
