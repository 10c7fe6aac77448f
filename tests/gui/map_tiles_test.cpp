// The map preview of a generated area large enough to be drawn from tiles:
// the canvas paints itself again as the tiles its view asked for become
// ready, also after a layer is hidden, and closing the window while tiles are
// being drawn is safe.
#include <QAction>
#include <QComboBox>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

#include "folder_list.hpp"
#include "generator.hpp"
#include "gui_test_support.hpp"
#include "map_canvas.hpp"
#include "map_scene.hpp"
#include "map_window.hpp"
#include "tile_cache.hpp"

using namespace pelmora::gui;
using pelmora::gui::test::OpenTestWindow;
using pelmora::gui::test::RecordingBoxes;

namespace {

// Counts the paint events of a widget.
class PaintCounter : public QObject {
 public:
  int paints = 0;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
};

}  // namespace

class MapTilesTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  std::unique_ptr<TfrmMain> window_;
  RecordingBoxes boxes_;

  TMapWindow* OpenPreview() {
    window_->ListBox1->clear();
    window_->ListBox1->addItem(dir_.filePath("mapdata"));
    window_->ComboBox1->setCurrentIndex(8);  // zone 9, the generator's
    window_->Button5Click();
    window_->findChild<QAction*>("MapPreview")->trigger();
    auto* map = window_->findChild<TMapWindow*>("MapWindow");
    QSignalSpy ended(map, &TMapWindow::LoadEnded);
    if (ended.isEmpty() && !ended.wait(120000)) return nullptr;
    return map;
  }

  // Zooms or changes the view with change, then checks that the canvas is
  // painted again once every tile asked for is ready.
  void RepaintsWhenTilesAreReady(TMapCanvas* canvas, const std::function<void()>& change) {
    PaintCounter counter;
    canvas->installEventFilter(&counter);
    change();
    QTRY_VERIFY(counter.paints >= 1);  // this paint asks for the tiles
    int asked = counter.paints;
    QVERIFY(canvas->scene()->Tiles()->WaitUntilIdle(60));
    QTRY_VERIFY(counter.paints > asked);
    canvas->removeEventFilter(&counter);
  }

 private slots:
  void initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    pelmora::gen::GenOptions options;
    options.out = dir_.filePath("mapdata").toStdString();
    options.areas = 1;
    options.size_mb = 12;
    pelmora::gen::GenerateMapData(options);
  }
  void init() { QVERIFY(OpenTestWindow(window_, dir_.filePath("placement.ini"), boxes_)); }
  void cleanup() { window_.reset(); }

  void canvasRepaintsAsTilesArrive() {
    TMapWindow* map = OpenPreview();
    QVERIFY(map);
    TMapCanvas* canvas = map->canvas();
    QVERIFY(canvas->scene());
    QVERIFY2(canvas->scene()->Tiles(), "the generated area is drawn from tiles");
    RepaintsWhenTilesAreReady(canvas, [&] { canvas->ZoomBy(6); });
    // Hiding a layer draws the tiles anew.
    RepaintsWhenTilesAreReady(canvas, [&] { map->LayerItem(0)->setCheckState(0, Qt::Unchecked); });
  }

  void closingWhileTilesAreDrawnIsSafe() {
    TMapWindow* map = OpenPreview();
    QVERIFY(map && map->canvas()->scene() && map->canvas()->scene()->Tiles());
    map->canvas()->ZoomBy(4);
    map->canvas()->repaint();  // asks for the tiles of the view
    window_.reset();           // the preview goes with the main window
    QTest::qWait(50);          // a tile ready now would repaint a canvas that is gone
  }
};

QTEST_MAIN(MapTilesTest)
#include "map_tiles_test.moc"
