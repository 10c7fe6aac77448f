#include "tile_grid.hpp"

#include <gtest/gtest.h>

#include <QPainter>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <new>
#include <thread>

#include "tile_cache.hpp"
#include "view_transform.hpp"

namespace pelmora::render {
namespace {

// A map 4096 m wide and 2048 m high: level 0 is 1024 × 512 pixels, 4 × 2 tiles.
const Box kMap{1000, -3000, 5096, -952};

TEST(TileGrid, PicksTheLevelNearestTheScale) {
  TileGrid grid(kMap);
  const struct {
    double pixels_per_metre;
    int level;
  } cases[] = {{0.25, 0}, {0.01, 0}, {0.34, 0}, {0.36, 1},
               {0.5, 1},  {1.0, 2},  {8.0, 5},  {1e9, TileGrid::kMaxLevel},
               {0, 0}};
  for (const auto& c : cases)
    EXPECT_EQ(grid.LevelFor(c.pixels_per_metre), c.level) << c.pixels_per_metre;
}

TEST(TileGrid, TilesCoverTheAreaWithinTheMapMiddleFirst) {
  TileGrid grid(kMap);
  // The whole map and more: every tile of level 0 and none beyond.
  std::vector<TileKey> all = grid.TilesIn(0, {-1e6, -1e6, 1e6, 1e6});
  EXPECT_EQ(all.size(), 8u);
  for (TileKey key : all) {
    EXPECT_TRUE(key.x >= 0 && key.x < 4 && key.y >= 0 && key.y < 2);
    EXPECT_TRUE(grid.TileBox(key).Meets(kMap));
  }
  // One tile of level 1 (512 m) around a point, its neighbours meeting it
  // edge to edge.
  std::vector<TileKey> one = grid.TilesIn(1, {1600, -1300, 1700, -1200});
  ASSERT_EQ(one.size(), 1u);
  EXPECT_EQ(one[0], (TileKey{1, 1, 0}));
  Box box = grid.TileBox(one[0]), right = grid.TileBox({1, 2, 0}), below = grid.TileBox({1, 1, 1});
  EXPECT_DOUBLE_EQ(box.max_x - box.min_x, 512);
  EXPECT_DOUBLE_EQ(box.max_x, right.min_x);
  EXPECT_DOUBLE_EQ(box.min_y, below.max_y);
  // A view's tiles start in its middle.
  std::vector<TileKey> view = grid.TilesIn(3, {2000, -2500, 3000, -1500});
  ASSERT_GT(view.size(), 9u);
  Box first = grid.TileBox(view.front());
  EXPECT_TRUE(first.Meets({2450, -2050, 2550, -1950}));
  // Outside the map: none.
  EXPECT_TRUE(grid.TilesIn(2, {6000, 0, 7000, 100}).empty());
}

TEST(TileGrid, ATileViewDrawsItsBoxOntoItsPicture) {
  TileGrid grid(kMap);
  TileKey key{2, 3, 1};
  Box box = grid.TileBox(key);
  ViewTransform view = grid.TileView(key);
  QPointF top_left = view.ToScreen(box.min_x, box.max_y);
  QPointF bottom_right = view.ToScreen(box.max_x, box.min_y);
  EXPECT_NEAR(top_left.x(), 0, 1e-9);
  EXPECT_NEAR(top_left.y(), 0, 1e-9);
  EXPECT_NEAR(bottom_right.x(), TileGrid::kTileSide, 1e-9);
  EXPECT_NEAR(bottom_right.y(), TileGrid::kTileSide, 1e-9);
}

// A long look around keeps the tiles within their budget, and level 0, the
// stand-in of last resort, is never dropped.
TEST(TileCache, KeepsWithinItsBudgetButLevelZero) {
  std::atomic<int> drawn = 0;
  auto drawer = [&](QPainter& painter, const ViewTransform&, const std::vector<char>&) {
    ++drawn;
    painter.fillRect(0, 0, 4, 4, Qt::black);
  };
  const size_t tile_bytes = TileGrid::kTileSide * TileGrid::kTileSide * 4;
  TileCache cache(TileGrid(kMap), drawer, {1}, 2, 10 * tile_bytes);
  cache.RenderLevel(0);
  EXPECT_EQ(drawn, 8);
  QImage image(1280, 800, QImage::Format_RGB32);
  ViewTransform view;
  view.SetSize(image.size());
  view.Fit(kMap);
  view.ZoomAt({640, 400}, 8);
  for (int step = 0; step < 12; ++step) {
    view.PanBy({step % 2 ? 300.0 : -300.0, 120});
    QPainter painter(&image);
    cache.Draw(painter, view);
    painter.end();
    ASSERT_TRUE(cache.WaitUntilIdle(30));
    EXPECT_LE(cache.BytesHeld(), 18 * tile_bytes) << step;
  }
  // Level 0 still stands in for a view whose tiles are all dropped.
  view.Fit(kMap);
  view.ZoomAt({640, 400}, 2);
  image.fill(Qt::white);
  QPainter painter(&image);
  TileCache::DrawOutcome outcome = cache.Draw(painter, view);
  painter.end();
  EXPECT_GT(outcome.missing, 0);
  int marks = 0;  // the corners each tile's drawer blackened, scaled up
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) marks += qGray(image.pixel(x, y)) < 64;
  EXPECT_GT(marks, 50);
}

// On a high-density screen tiles are drawn with as many device pixels as
// the screen shows, and a line one pixel wide stays one pixel of the view.
TEST(TileCache, DrawsTilesAtTheScreensDensity) {
  auto drawer = [](QPainter& painter, const ViewTransform&, const std::vector<char>&) {
    painter.fillRect(QRectF(10, 0, 1, 256), Qt::black);
  };
  TileCache cache(TileGrid(kMap), drawer, {1}, 1);
  cache.SetPixelRatio(2);
  cache.RenderLevel(0);
  const size_t dense_tile = 4 * TileGrid::kTileSide * TileGrid::kTileSide * 4;
  EXPECT_EQ(cache.BytesHeld(), 8 * dense_tile);
  QImage screen(2560, 1600, QImage::Format_RGB32);
  screen.setDevicePixelRatio(2);
  screen.fill(Qt::white);
  ViewTransform view;
  view.SetSize(QSize(1280, 800));
  view.SetCentre(1000 + 128 * 4, -952 - 128 * 4, 0.25);  // tile (0, 0, 0) from the middle
  QPainter painter(&screen);
  EXPECT_EQ(cache.Draw(painter, view).missing, 0);
  painter.end();
  // The line at x = 10 of the tile lies at 640 - 128 + 10 in the view: two
  // device pixels wide, its neighbours white.
  int x = 2 * (640 - 128 + 10), y = 2 * 400;
  EXPECT_LT(qGray(screen.pixel(x, y)), 64);
  EXPECT_LT(qGray(screen.pixel(x + 1, y)), 64);
  EXPECT_GT(qGray(screen.pixel(x - 1, y)), 192);
  EXPECT_GT(qGray(screen.pixel(x + 2, y)), 192);
}

// A view of 200 × 200 pixels inside the tile (1, 0, 0) of kMap: that tile
// alone.
ViewTransform ViewOfOneTile() {
  ViewTransform view;
  view.SetSize(QSize(200, 200));
  view.SetCentre(1000 + 256, -952 - 256, 0.5);
  return view;
}

TileCache::DrawOutcome DrawOnce(TileCache& cache, const ViewTransform& view) {
  QImage image(view.size(), QImage::Format_RGB32);
  QPainter painter(&image);
  TileCache::DrawOutcome outcome = cache.Draw(painter, view);
  painter.end();
  return outcome;
}

bool WaitFor(const std::function<bool()>& done) {
  auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!done()) {
    if (std::chrono::steady_clock::now() > until) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

// A tile still being drawn when the layers change is drawn again for the
// new layers, and its arrival asks for a repaint: the view that left it out
// as being drawn would otherwise show the old picture until the user pans.
TEST(TileCache, ATileDrawnForOldLayersIsDrawnAgainAndAnnounced) {
  std::mutex mutex;
  std::condition_variable changed;
  bool blocking = true, blocked = false;
  std::vector<std::vector<char>> fine_drawn;  // the layers of each level-1 drawing
  auto drawer = [&](QPainter&, const ViewTransform& view, const std::vector<char>& visible) {
    if (view.PixelsPerMetre() < 0.4) return;  // level 0
    std::unique_lock lock(mutex);
    fine_drawn.push_back(visible);
    if (fine_drawn.size() > 1) return;
    blocked = true;
    changed.notify_all();
    changed.wait(lock, [&] { return !blocking; });
  };
  TileCache cache(TileGrid(kMap), drawer, {1}, 2);
  std::atomic<int> ready = 0;
  cache.SetOnTileReady([&] { ++ready; });
  const ViewTransform view = ViewOfOneTile();
  ASSERT_EQ(DrawOnce(cache, view).missing, 1);
  {
    std::unique_lock lock(mutex);
    ASSERT_TRUE(changed.wait_for(lock, std::chrono::seconds(30), [&] { return blocked; }));
  }
  cache.SetVisibleLayers({0});
  // The other thread draws level 0 anew; each arrival repaints the view,
  // which finds the tile being drawn.
  ASSERT_TRUE(WaitFor([&] { return ready >= 8; }));
  EXPECT_EQ(DrawOnce(cache, view).missing, 1);
  const int before = ready;
  {
    std::lock_guard lock(mutex);
    blocking = false;
  }
  changed.notify_all();
  ASSERT_TRUE(WaitFor([&] { return ready > before; }));
  ASSERT_TRUE(cache.WaitUntilIdle(30));
  EXPECT_EQ(DrawOnce(cache, view).missing, 0);
  std::lock_guard lock(mutex);
  EXPECT_EQ(fine_drawn, (std::vector<std::vector<char>>{{1}, {0}}));
}

// A tile whose drawing throws (no memory, or anything else a drawer can
// throw) leaves the program running: the view keeps its stand-ins and the
// tile is asked for again.
TEST(TileCache, ADrawingThatThrowsIsAskedForAgain) {
  const std::function<void()> throwers[] = {[] { throw std::bad_alloc(); }, [] { throw 42; }};
  for (const auto& fail : throwers) {
    std::atomic<int> calls = 0;
    auto drawer = [&](QPainter&, const ViewTransform& view, const std::vector<char>&) {
      if (view.PixelsPerMetre() > 0.4 && calls++ == 0) fail();
    };
    TileCache cache(TileGrid(kMap), drawer, {1}, 1);
    const ViewTransform view = ViewOfOneTile();
    EXPECT_EQ(DrawOnce(cache, view).missing, 1);
    ASSERT_TRUE(cache.WaitUntilIdle(30));
    EXPECT_EQ(DrawOnce(cache, view).missing, 1);
    ASSERT_TRUE(cache.WaitUntilIdle(30));
    EXPECT_EQ(DrawOnce(cache, view).missing, 0);
    EXPECT_EQ(calls, 2);
  }
}

}  // namespace
}  // namespace pelmora::render
