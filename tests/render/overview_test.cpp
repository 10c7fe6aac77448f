#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <atomic>

#include "map_painter.hpp"
#include "map_scene.hpp"
#include "stored_shapes.hpp"
#include "tile_cache.hpp"
#include "view_transform.hpp"

namespace pelmora::render {
namespace {

// count square blocks of 6 m on a 10 m grid, 300 in the first row, 60 above, and a road along
// the bottom: an L of blocks when the rows above the first are cut short, so
// that a picture placed wrongly shows.
std::vector<StoredLayer> Blocks(int count) {
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
  return layers;
}

QImage Draw(const MapScene& scene, const ViewTransform& view) {
  QImage image(view.size(), QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  DrawMap(painter, scene, view);
  painter.end();
  return image;
}

// The picture once every tile it asks for is drawn.
QImage DrawFinished(const MapScene& scene, const ViewTransform& view) {
  Draw(scene, view);
  EXPECT_TRUE(scene.Tiles()->WaitUntilIdle(60));
  return Draw(scene, view);
}

// The largest difference of a colour channel between the two pictures
// reduced to blocks of 16 pixels: tiles may blur edges, never move them.
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

ViewTransform WholeMap(const MapScene& scene) {
  ViewTransform view;
  view.SetSize(QSize(1280, 800));
  view.Fit(scene.Extent());
  return view;
}

TEST(Tiles, OnlyAMapOfManyFeaturesGetsThem) {
  for (auto [count, expected] : {std::pair{1000, false}, std::pair{70000, true}}) {
    MapScene scene(Blocks(count));
    BuildOverview(scene);
    EXPECT_EQ(scene.Tiles() != nullptr, expected) << count;
  }
}

TEST(Tiles, ShowTheMapWhereDrawingItDirectlyWould) {
  MapScene direct(Blocks(70000)), tiled(Blocks(70000));
  BuildOverview(tiled);
  ASSERT_NE(tiled.Tiles(), nullptr);
  ViewTransform whole = WholeMap(direct);
  QPointF corner = whole.ToScreen(0, 0);
  const struct {
    const char* what;
    QPointF at;   // the pixel zoomed about
    double zoom;  // from the whole map
    QPointF pan;
    bool shows_a_move = true;  // in coarse pixels: not so for blocks of a few pixels
  } views[] = {{"whole map", {640, 400}, 1, {}},
               {"zoomed in twice", {640, 400}, 2, {}},
               {"moved", {640, 400}, 1.5, {300, -120}},
               {"zoomed in far, at the corner", corner, 20, {}, false}};
  for (const auto& v : views) {
    SCOPED_TRACE(v.what);
    ViewTransform view = whole;
    view.ZoomAt(v.at, v.zoom);
    view.PanBy(v.pan);
    QImage expected = Draw(direct, view);
    EXPECT_LE(CoarseDifference(DrawFinished(tiled, view), expected), 60);
    // The measure tells a picture three blocks out of place.
    if (!v.shows_a_move) continue;
    ViewTransform off = view;
    off.PanBy({48, 48});
    EXPECT_GT(CoarseDifference(DrawFinished(tiled, off), expected), 60);
  }
}

// A view whose tiles are not drawn yet shows a coarser level scaled up at
// once, not a blank map.
TEST(Tiles, AMissingTileIsStoodInForAtOnce) {
  MapScene direct(Blocks(70000)), tiled(Blocks(70000));
  std::atomic<int> ready = 0;
  BuildOverview(tiled);
  tiled.Tiles()->SetOnTileReady([&] { ++ready; });
  ViewTransform view = WholeMap(direct);
  view.ZoomAt(QPointF(200, 500), 3);
  QImage blank(view.size(), QImage::Format_RGB32);
  blank.fill(Qt::white);
  QImage first = Draw(tiled, view);
  EXPECT_GT(CoarseDifference(first, blank), 60);
  EXPECT_LE(CoarseDifference(first, Draw(direct, view)), 90);
  ASSERT_TRUE(tiled.Tiles()->WaitUntilIdle(60));
  EXPECT_GT(ready, 0);
}

// The number of pixels whose colours differ clearly.
int PixelsApart(const QImage& a, const QImage& b) {
  int apart = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      QColor p = a.pixelColor(x, y), q = b.pixelColor(x, y);
      apart += std::max({std::abs(p.red() - q.red()), std::abs(p.green() - q.green()),
                         std::abs(p.blue() - q.blue())}) > 60;
    }
  return apart;
}

TEST(Tiles, HidingALayerRedrawsThemWithoutIt) {
  MapScene tiled(Blocks(70000)), blocks_only(Blocks(70000));
  BuildOverview(tiled);
  blocks_only.SetVisible(1, false);
  BuildOverview(blocks_only);
  ViewTransform view = WholeMap(tiled);
  view.ZoomAt(view.ToScreen(1500, -5), 8);  // the road along the bottom
  QImage with_road = DrawFinished(tiled, view);
  QImage expected = DrawFinished(blocks_only, view);
  ASSERT_GT(PixelsApart(with_road, expected), 500);
  tiled.SetVisible(1, true);  // no change: the tiles stay
  EXPECT_TRUE(tiled.Tiles()->WaitUntilIdle(0));
  tiled.SetVisible(1, false);
  // Until the new tiles are drawn, old or coarser ones stand in.
  QImage blank(view.size(), QImage::Format_RGB32);
  blank.fill(Qt::white);
  EXPECT_GT(PixelsApart(Draw(tiled, view), blank), 10000);
  EXPECT_EQ(PixelsApart(DrawFinished(tiled, view), expected), 0);
}

}  // namespace
}  // namespace pelmora::render
