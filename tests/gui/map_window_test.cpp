// The map preview opened from the main window: it reads the sample, pans,
// zooms, answers a click with the feature's attributes, and shows the
// conversion's error message for a corrupt area.
#include "map_window.hpp"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <filesystem>
#include <fstream>

#include "folder_list.hpp"
#include "gui_test_support.hpp"
#include "map_canvas.hpp"
#include "map_scene.hpp"

using namespace pelmora::gui;
using namespace pelmora::gui::test;

class MapWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<TfrmMain> window_;
  RecordingBoxes boxes_;
  QTemporaryDir dir_;

  // Opens the preview of folder with every group ticked and waits until the
  // read has ended.
  // Opens the preview of folder with the coordinate-system entry given
  // (8: zone 9, the sample's).
  TMapWindow* OpenPreview(const QString& folder, int coordsys = 8) {
    window_->ListBox1->clear();
    window_->ListBox1->addItem(folder);
    window_->ComboBox1->setCurrentIndex(coordsys);
    window_->Button5Click();
    auto* action = window_->findChild<QAction*>("MapPreview");
    if (!action) return nullptr;
    action->trigger();
    auto* map = window_->findChild<TMapWindow*>("MapWindow");
    if (!map) return nullptr;
    // The end comes as a queued signal even when the read's thread has
    // already finished, so the spy, made after the start, still sees it.
    QSignalSpy ended(map, &TMapWindow::LoadEnded);
    if (ended.isEmpty() && !ended.wait(60000)) return nullptr;
    return map;
  }

 private slots:
  void init() { QVERIFY(OpenTestWindow(window_, dir_.filePath("placement.ini"), boxes_)); }
  void cleanup() { window_.reset(); }

  void menuItemSitsBetweenTheSpecifiedMenus() {
    auto* menu = window_->findChild<QMenu*>("V1");
    QVERIFY(menu);
    QCOMPARE(menu->title(), QString("表示(&V)"));
    QCOMPARE(menu->actions().value(0)->text(), QString("地図プレビュー..."));
    QList<QAction*> bar = window_->menuBar()->actions();
    QCOMPARE(bar.indexOf(menu->menuAction()), bar.indexOf(window_->F1->menuAction()) + 1);
  }

  void readsPansZoomsAndAnswersAClick() {
    TMapWindow* map = OpenPreview(PELMORA_SAMPLE_DATA);
    QVERIFY(map);
    QVERIFY2(map->canvas()->isVisible(), qPrintable(map->message()->text()));
    QCOMPARE(map->layerList()->count(), 31);
    TMapCanvas* canvas = map->canvas();
    const auto& layers = canvas->scene()->layers();

    // Zoom onto the middle of a block with the wheel, then with the keys.
    int blocks = -1;
    for (size_t i = 0; i < layers.size(); ++i)
      if (layers[i].data.name == "Gaiku_Gaiku_Pgn") blocks = static_cast<int>(i);
    QVERIFY(blocks >= 0 && !layers[blocks].boxes.empty());
    const pelmora::render::Box& box = layers[blocks].boxes[0];
    double scale = canvas->view().PixelsPerMetre();
    for (int i = 0; i < 12; ++i) {
      QPointF at =
          canvas->view().ToScreen((box.min_x + box.max_x) / 2, (box.min_y + box.max_y) / 2);
      QWheelEvent wheel(at, canvas->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                        Qt::NoModifier, Qt::NoScrollPhase, false);
      QApplication::sendEvent(canvas, &wheel);
    }
    QVERIFY(canvas->view().PixelsPerMetre() > scale * 3);
    scale = canvas->view().PixelsPerMetre();
    QTest::keyClick(canvas, Qt::Key_Plus);
    QVERIFY(canvas->view().PixelsPerMetre() > scale);
    QTest::keyClick(canvas, Qt::Key_Minus);
    QCOMPARE(canvas->view().PixelsPerMetre(), scale);

    // A drag moves the map by as many pixels as the mouse.
    QPointF centre =
        canvas->view().ToScreen((box.min_x + box.max_x) / 2, (box.min_y + box.max_y) / 2);
    QPoint from = centre.toPoint() + QPoint(5, 5), to = from + QPoint(40, 30);
    QTest::mousePress(canvas, Qt::LeftButton, {}, from);
    QTest::mouseMove(canvas, from + QPoint(20, 15));
    QTest::mouseMove(canvas, to);
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, to);
    QPointF moved =
        canvas->view().ToScreen((box.min_x + box.max_x) / 2, (box.min_y + box.max_y) / 2);
    QVERIFY(std::abs(moved.x() - centre.x() - 40) < 1 && std::abs(moved.y() - centre.y() - 30) < 1);
    QVERIFY(!map->position()->text().isEmpty());

    // With only the blocks shown (the buildings on them hidden through the
    // layer list), a click on the block shows its town name, decoded, and
    // highlights it.
    for (int i = 0; i < map->layerList()->count(); ++i)
      if (i != blocks) map->layerList()->item(i)->setCheckState(Qt::Unchecked);
    QTest::mouseClick(canvas, Qt::LeftButton, {}, moved.toPoint());
    QCOMPARE(canvas->Highlighted().layer, blocks);
    QTableWidget* table = map->attributes();
    QVERIFY(table->rowCount() >= 6);
    QCOMPARE(table->item(4, 0)->text(), QString("大字町丁目名"));
    QVERIFY(!table->item(4, 1)->text().isEmpty());
    QVERIFY(!table->item(4, 1)->text().contains(QChar(0xFFFD)));

    // Hiding the blocks too leaves nothing to click.
    map->layerList()->item(blocks)->setCheckState(Qt::Unchecked);
    QTest::mouseClick(canvas, Qt::LeftButton, {}, moved.toPoint());
    QVERIFY(!canvas->Highlighted().Valid());
    QCOMPARE(table->rowCount(), 0);
    map->close();
  }

  // An area that the run's zone check named is drawn with its data and
  // flagged, and the status bar names it; a map without one has no note.
  void areaOfAnotherZoneIsFlagged() {
    TMapWindow* map = OpenPreview(PELMORA_SAMPLE_DATA);
    QVERIFY(map);
    QVERIFY(map->zoneNote()->isHidden());
    std::vector<pelmora::StoredLayer> layers;
    for (const pelmora::render::SceneLayer& layer : map->canvas()->scene()->layers())
      layers.push_back(layer.data);
    QImage plain = map->canvas()->grab().toImage();
    map->ShowMap(std::make_shared<pelmora::render::MapScene>(std::move(layers),
                                                             std::vector<std::string>{"13102"}));
    QVERIFY(!map->zoneNote()->isHidden());
    QVERIFY(map->zoneNote()->text().contains("13102"));
    QVERIFY(map->zoneNote()->text().contains("座標系が異なります"));
    const pelmora::render::FlaggedArea& area = map->canvas()->scene()->FlaggedAreas().at(0);
    QVERIFY(!area.box.Empty());
    // The flag's red shows over the area's middle (the stations are red as
    // well); the layers stay drawn.
    QImage flagged = map->canvas()->grab().toImage();
    QPointF middle = map->canvas()->view().ToScreen((area.box.min_x + area.box.max_x) / 2,
                                                    (area.box.min_y + area.box.max_y) / 2);
    QRect around(middle.toPoint() - QPoint(30, 30), QSize(60, 60));
    auto red = [&around](const QImage& image) {
      int count = 0;
      for (int y = around.top(); y <= around.bottom(); ++y)
        for (int x = around.left(); x <= around.right(); ++x) {
          QColor c = image.pixelColor(x, y);
          count += c.red() > 180 && c.red() - c.green() > 80 && c.red() - c.blue() > 80;
        }
      return count;
    };
    QVERIFY2(red(flagged) > red(plain) + 20, qPrintable(QString::number(red(plain))));
    QCOMPARE(map->layerList()->count(), 31);
    map->close();

    // Read in zone 1 (entry 0), every sample area comes from the engine's
    // own zone check flagged.
    map = OpenPreview(PELMORA_SAMPLE_DATA, 0);
    QVERIFY(map);
    QVERIFY(!map->zoneNote()->isHidden());
    QCOMPARE(map->canvas()->scene()->FlaggedAreas().size(), size_t(3));
    map->close();
  }

  void corruptAreaShowsTheErrorInsteadOfAMap() {
    namespace fs = std::filesystem;
    fs::path root = dir_.filePath("corrupt").toStdString();
    fs::create_directories(root);
    fs::copy(fs::path(PELMORA_SAMPLE_DATA) / "13101", root / "13101", fs::copy_options::recursive);
    fs::path pgn = root / "13101" / "gaiku" / "gaiku.pgn";
    std::ofstream(pgn, std::ios::app) << "A1108,XX,not a number\r\n";
    TMapWindow* map = OpenPreview(QString::fromStdString(root.string()));
    QVERIFY(map);
    QVERIFY(!map->canvas()->isVisible());
    QVERIFY2(map->message()->text().contains("gaiku.pgn"), qPrintable(map->message()->text()));
    QVERIFY(!window_->IsConverting());
    QVERIFY(window_->Button7->isEnabled());
    map->close();
  }
};

QTEST_MAIN(MapWindowTest)
#include "map_window_test.moc"
