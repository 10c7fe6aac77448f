#include "map_scene.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <random>

#include "map_painter.hpp"
#include "stored_shapes.hpp"
#include "view_transform.hpp"

namespace pelmora::render {
namespace {

// A road (table order first) across a field of 100 small blocks and one
// block that covers them all.
MapScene SampleScene() {
  std::vector<std::vector<TSFPoint>> blocks;
  for (int i = 0; i < 100; ++i) {
    double x = (i % 10) * 10, y = (i / 10) * 10;
    blocks.push_back({{x, y}, {x + 8, y}, {x + 8, y + 8}, {x, y + 8}});
  }
  blocks.push_back({{0, 0}, {100, 0}, {100, 100}, {0, 100}});
  std::vector<StoredLayer> layers;
  layers.push_back(ShapeLayer("Doro_Doro_Arc", GeometryKind::kLine, {{{0, 9}, {100, 9}}}));
  layers.push_back(ShapeLayer("Gaiku_Gaiku_Pgn", GeometryKind::kPolygon, blocks));
  return MapScene(std::move(layers));
}

TEST(MapScene, AreasAreDrawnBeforeLines) {
  MapScene scene = SampleScene();
  ASSERT_EQ(scene.layers().size(), 2u);
  EXPECT_EQ(scene.layers()[0].data.name, "Gaiku_Gaiku_Pgn");
  EXPECT_EQ(scene.layers()[1].data.name, "Doro_Doro_Arc");
}

TEST(MapScene, IndexFindsEachFeatureInAnAreaOnce) {
  MapScene scene = SampleScene();
  struct Case {
    Box area;
    size_t blocks;  // small ones, plus the one covering all
  };
  for (const Case& c : std::vector<Case>{{{1, 1, 2, 2}, 1},
                                         {{-50, -50, 150, 150}, 100},
                                         {{8.5, 8.5, 9.5, 9.5}, 0},
                                         {{5, 5, 15, 15}, 4}}) {
    std::vector<int32_t> found = scene.FeaturesIn(0, c.area);
    std::vector<int32_t> sorted = found;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(std::unique(sorted.begin(), sorted.end()), sorted.end()) << "reported twice";
    EXPECT_EQ(found.size(), c.blocks + 1) << c.area.min_x << "," << c.area.min_y;
  }
  EXPECT_TRUE(scene.FeaturesIn(0, {200, 200, 300, 300}).empty());
}

// Features of every size, some outside the others' extent or without a
// finite vertex, against queries of every size: the grid finds exactly the
// features whose boxes meet the area, each once.
TEST(MapScene, IndexAgreesWithAScanOfEveryBox) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> place(-50, 1050), size(0, 40);
  std::vector<std::vector<TSFPoint>> shapes;
  for (int i = 0; i < 3000; ++i) {
    double x = place(random), y = place(random), w = size(random) * (i % 50 == 0 ? 20 : 1);
    shapes.push_back({{x, y}, {x + w, y + w / 2}});
  }
  shapes.push_back({});                                                      // no vertex
  shapes.push_back({{std::numeric_limits<double>::quiet_NaN(), 1}});         // none finite
  shapes.push_back({{5, 5}, {std::numeric_limits<double>::infinity(), 6}});  // one finite
  std::vector<StoredLayer> layers;
  layers.push_back(ShapeLayer("Gaiku_Gaiku_Pgn", GeometryKind::kLine, shapes));
  MapScene scene(std::move(layers));
  const std::vector<Box>& boxes = scene.layers()[0].boxes;
  EXPECT_TRUE(boxes[3000].Empty());
  EXPECT_TRUE(boxes[3001].Empty());
  EXPECT_DOUBLE_EQ(boxes[3002].max_x, 5);
  for (int q = 0; q < 300; ++q) {
    double x = place(random), y = place(random), w = q % 3 == 0 ? size(random) * 30 : size(random);
    Box area{x, y, x + w, y + w};
    std::vector<int32_t> found = scene.FeaturesIn(0, area);
    std::vector<int32_t> expected;
    for (size_t f = 0; f < boxes.size(); ++f)
      if (boxes[f].Meets(area)) expected.push_back(static_cast<int32_t>(f));
    std::vector<int32_t> sorted = found;
    std::sort(sorted.begin(), sorted.end());
    ASSERT_EQ(sorted, expected) << "query " << q;
  }
}

TEST(MapScene, ClickFindsTheTopmostVisibleFeature) {
  MapScene scene = SampleScene();
  EXPECT_EQ(scene.FeatureAt({50, 9.2}, 0.5), (FeatureRef{1, 0}));  // the road over the blocks
  EXPECT_EQ(scene.FeatureAt({52, 52}, 0.5), (FeatureRef{0, 55}));  // the small block inside the big
  EXPECT_EQ(scene.FeatureAt({59, 59}, 0.5), (FeatureRef{0, 100}));  // between small blocks
  EXPECT_FALSE(scene.FeatureAt({150, 150}, 0.5).Valid());
  scene.SetVisible(1, false);
  EXPECT_EQ(scene.FeatureAt({50, 9.2}, 0.5), (FeatureRef{0, 100}));
}

TEST(ViewTransform, NorthIsUpAndZoomKeepsThePointUnderTheCursor) {
  ViewTransform view;
  view.SetSize(QSize(200, 100));
  view.Fit({0, 0, 100, 50});
  EXPECT_LT(view.ToScreen(0, 50).y(), view.ToScreen(0, 0).y());
  TSFPoint before = view.ToPlane({30, 70});
  view.ZoomAt({30, 70}, 2.5);
  TSFPoint after = view.ToPlane({30, 70});
  EXPECT_NEAR(before.X, after.X, 1e-9);
  EXPECT_NEAR(before.Y, after.Y, 1e-9);
  view.PanBy({10, 0});
  EXPECT_NEAR(view.ToPlane({40, 70}).X, after.X, 1e-9);
}

TEST(ViewTransform, FitLeavesTheScaleBarStripFree) {
  struct Case {
    QSize size;
    Box box;
    double bottom_room;  // pixels left below the box at least
  };
  for (const Case& c : std::vector<Case>{
           {{1280, 800}, {0, 0, 3000, 2000}, kScaleBarRoom},  // as wide as the view
           {{640, 440}, {0, 0, 100, 100}, kScaleBarRoom},     // as high as the view
           {{200, 100}, {0, 0, 100, 50}, 8},                  // too low for the strip
       }) {
    ViewTransform view;
    view.SetSize(c.size);
    view.Fit(c.box);
    QPointF low = view.ToScreen(c.box.min_x, c.box.min_y);
    QPointF high = view.ToScreen(c.box.max_x, c.box.max_y);
    EXPECT_LE(low.y(), c.size.height() - c.bottom_room + 1e-6) << c.size.width();
    EXPECT_GE(high.y(), 8 - 1e-6) << c.size.width();
    EXPECT_GE(low.x(), 8 - 1e-6) << c.size.width();
    EXPECT_LE(high.x(), c.size.width() - 8 + 1e-6) << c.size.width();
    // The box fills the room in one direction at least.
    EXPECT_TRUE(std::abs(high.x() - low.x() - (c.size.width() - 16)) < 1e-6 ||
                std::abs(low.y() - high.y() - (c.size.height() - 8 - c.bottom_room)) < 1e-6)
        << c.size.width();
  }
}

TEST(ScaleBar, RoundLengthsOfAboutAHundredPixels) {
  struct Case {
    double pixels_per_metre, metres;
  };
  for (const Case& c : std::vector<Case>{{1, 100}, {0.5, 200}, {2, 50}, {0.01, 10000}, {0.3, 200}})
    EXPECT_DOUBLE_EQ(ScaleBarMetres(c.pixels_per_metre), c.metres) << c.pixels_per_metre;
  EXPECT_EQ(ScaleBarMetres(0), 0);
}

}  // namespace
}  // namespace pelmora::render
