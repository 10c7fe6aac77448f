// Areas whose map-sheet files name another zone: the loader's observer keeps
// them from the run's warnings, the scene finds their extent, and the
// drawing flags them over their data.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "map_loader.hpp"
#include "map_painter.hpp"
#include "map_scene.hpp"
#include "stored_shapes.hpp"
#include "view_transform.hpp"

namespace pelmora::render {
namespace {

// Counts what reaches the observer behind the recorder.
class CountingObserver : public ConversionObserver {
 public:
  void OnWarning(const Warning&) override { ++warnings; }
  void OnProgress(const RunProgress&) override { ++progress; }
  bool StopRequested() override { return stop; }
  int warnings = 0, progress = 0;
  bool stop = false;
};

TEST(ZoneMismatchRecorder, KeepsEachAreaOfAZoneWarningOnce) {
  CountingObserver next;
  ZoneMismatchRecorder recorder(next);
  struct Event {
    WarningKind kind;
    std::string_view file;
  };
  for (const Event& e : std::vector<Event>{
           {WarningKind::kZoneMismatch, "13102/13102.txt"},
           {WarningKind::kMissingArc, "13101/gaiku/gaiku.pgn"},  // another kind
           {WarningKind::kZoneMismatch, "13102/13102.txt"},      // named again
           {WarningKind::kZoneMismatch, "13103/13103.TXT"},
           {WarningKind::kZoneMismatch, ""},  // no file: no area to flag
       })
    recorder.OnWarning({.kind = e.kind, .text = "t", .file = e.file, .line = 7});
  recorder.OnProgress({});
  EXPECT_EQ(recorder.Areas(), (std::vector<std::string>{"13102", "13103"}));
  EXPECT_EQ(next.warnings, 5);  // every event goes on
  EXPECT_EQ(next.progress, 1);
  next.stop = true;
  EXPECT_TRUE(recorder.StopRequested());
}

void AddSquare(StoredLayer& layer, const std::string& file, double x, double y, double size) {
  AddShape(layer, {{x, y}, {x + size, y}, {x + size, y + size}, {x, y + size}}, file);
}

// Two areas side by side, the second with two blocks, and a frame layer.
std::vector<StoredLayer> TwoAreas() {
  StoredLayer blocks = ShapeLayer("Gaiku_Gaiku_Pgn", GeometryKind::kPolygon);
  AddSquare(blocks, "A/gaiku/gaiku.pgn", 0, 0, 100);
  AddSquare(blocks, "B/gaiku/gaiku.pgn", 200, 0, 50);
  AddSquare(blocks, "B/gaiku/gaiku.pgn", 260, 60, 40);
  StoredLayer roads = ShapeLayer("Doro_Doro_Arc", GeometryKind::kLine);
  AddSquare(roads, "B/road/road.arc", 190, -10, 5);
  return {blocks, roads};
}

TEST(MapScene, FlaggedAreaSpansTheFeaturesOfItsFiles) {
  MapScene scene(TwoAreas(), {"B", "C"});
  ASSERT_EQ(scene.FlaggedAreas().size(), 2u);
  const FlaggedArea& b = scene.FlaggedAreas()[0];
  EXPECT_EQ(b.name, "B");
  EXPECT_DOUBLE_EQ(b.box.min_x, 190);
  EXPECT_DOUBLE_EQ(b.box.min_y, -10);
  EXPECT_DOUBLE_EQ(b.box.max_x, 300);
  EXPECT_DOUBLE_EQ(b.box.max_y, 100);
  EXPECT_TRUE(scene.FlaggedAreas()[1].box.Empty());  // an area without features
  EXPECT_TRUE(MapScene(TwoAreas()).FlaggedAreas().empty());
}

// Red pixels (the flag's hatching over a fill; no layer of these two is red).
int RedPixels(const QImage& image, QRect within) {
  int red = 0;
  for (int y = within.top(); y <= within.bottom(); ++y)
    for (int x = within.left(); x <= within.right(); ++x) {
      QColor c = image.pixelColor(x, y);
      if (c.red() > 180 && c.red() - c.green() > 80 && c.red() - c.blue() > 80) ++red;
    }
  return red;
}

TEST(MapPainter, FlaggedAreaIsDrawnOverItsDataOnly) {
  static int argc = 1;
  static char name[] = "render_tests";
  static char* argv[] = {name, nullptr};
  static QGuiApplication application(argc, argv);  // fonts need one
  auto draw = [](const std::vector<std::string>& flagged) {
    MapScene scene(TwoAreas(), flagged);
    ViewTransform view;
    view.SetSize(QSize(640, 400));
    view.Fit(scene.Extent());
    QImage image(view.size(), QImage::Format_RGB32);
    QPainter painter(&image);
    DrawView(painter, scene, view);
    painter.end();
    QPointF a = view.ToScreen(50, 50), b = view.ToScreen(245, 25);
    return std::tuple(image, QRect(a.toPoint() - QPoint(20, 20), QSize(40, 40)),
                      QRect(b.toPoint() - QPoint(20, 20), QSize(40, 40)));
  };
  auto [plain, plain_a, plain_b] = draw({});
  EXPECT_EQ(RedPixels(plain, plain.rect()), 0);
  auto [flagged, area_a, area_b] = draw({"B"});
  EXPECT_EQ(RedPixels(flagged, area_a), 0);
  EXPECT_GT(RedPixels(flagged, area_b), 40);  // the hatching
  // The block's own fill still shows between the hatch lines.
  EXPECT_GT(RedPixels(flagged, area_b), 0);
  EXPECT_LT(RedPixels(flagged, area_b), 40 * 40 / 2);
}

}  // namespace
}  // namespace pelmora::render
