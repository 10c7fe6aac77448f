// The map preview opened from the main window: it reads the sample, pans,
// zooms, answers a click with the feature's attributes, lists the layers by
// group in drawing order, keeps the user's ticks over a reload, and shows the
// conversion's error message for a corrupt area.
#include "map_window.hpp"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>
#include <filesystem>
#include <fstream>

#include "core/conversion/settings.hpp"
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

  // The layers in the list, under their groups.
  static int LayerCount(TMapWindow* map) {
    int count = 0;
    for (QTreeWidgetItemIterator it(map->layerList()); *it; ++it)
      count += (*it)->data(0, Qt::UserRole).isValid();
    return count;
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
    QCOMPARE(LayerCount(map), 31);
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
    for (int i = 0; i < LayerCount(map); ++i)
      if (i != blocks) map->LayerItem(i)->setCheckState(0, Qt::Unchecked);
    QTest::mouseClick(canvas, Qt::LeftButton, {}, moved.toPoint());
    QCOMPARE(canvas->Highlighted().layer, blocks);
    QTableWidget* table = map->attributes();
    QVERIFY(table->rowCount() >= 6);
    QCOMPARE(table->item(4, 0)->text(), QString("大字町丁目名"));
    QVERIFY(!table->item(4, 1)->text().isEmpty());
    QVERIFY(!table->item(4, 1)->text().contains(QChar(0xFFFD)));
    // Every cell is one line: a value too long for its column is cut with
    // "…" and shown whole in its tooltip, never wrapped into a second line
    // that the row cannot show; the names' column is wide enough for them.
    QVERIFY(!table->wordWrap());
    QFontMetrics metrics(table->font());
    for (int row = 0; row < table->rowCount(); ++row) {
      QVERIFY(table->columnWidth(0) > metrics.horizontalAdvance(table->item(row, 0)->text()));
      QCOMPARE(table->item(row, 1)->toolTip(), table->item(row, 1)->text());
    }

    // Hiding the blocks too leaves nothing to click.
    map->LayerItem(blocks)->setCheckState(0, Qt::Unchecked);
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
    QCOMPARE(LayerCount(map), 31);
    map->close();

    // Read in zone 1 (entry 0), every sample area comes from the engine's
    // own zone check flagged.
    map = OpenPreview(PELMORA_SAMPLE_DATA, 0);
    QVERIFY(map);
    QVERIFY(!map->zoneNote()->isHidden());
    QCOMPARE(map->canvas()->scene()->FlaggedAreas().size(), size_t(3));
    map->close();
  }

  // The list holds the nine groups, the one drawn last at the top, each with
  // its layers, the one drawn last first: walking down the list walks down
  // the drawing order. A group's box hides all of its layers, and a click
  // then picks only from the layers still shown.
  void layerListIsGroupedInDrawingOrder() {
    TMapWindow* map = OpenPreview(PELMORA_SAMPLE_DATA);
    QVERIFY(map);
    QTreeWidget* list = map->layerList();
    QStringList groups;
    for (int g = 0; g < list->topLevelItemCount(); ++g) groups << list->topLevelItem(g)->text(0);
    QCOMPARE(groups, QStringList({"図郭", "基準点", "鉄道", "道路", "行政界", "建物", "水系",
                                  "場地", "街区"}));
    const auto& layers = map->canvas()->scene()->layers();
    int previous = static_cast<int>(layers.size());
    for (QTreeWidgetItemIterator it(list); *it; ++it) {
      QVariant layer = (*it)->data(0, Qt::UserRole);
      if (!layer.isValid()) continue;
      QVERIFY2(layer.toInt() < previous, qPrintable((*it)->text(0)));
      previous = layer.toInt();
      std::string_view group = pelmora::LayerGroups()[layers[layer.toInt()].style.group].caption;
      QCOMPARE((*it)->parent()->text(0), QString::fromUtf8(group.data(), group.size()));
    }
    QCOMPARE(LayerCount(map), 31);

    // Clear the blocks' group: its layers are hidden, and a click in the
    // middle of a block picks nothing of them.
    QTreeWidgetItem* blocks = list->topLevelItem(8);
    blocks->setCheckState(0, Qt::Unchecked);
    for (int c = 0; c < blocks->childCount(); ++c)
      QVERIFY(!layers[blocks->child(c)->data(0, Qt::UserRole).toInt()].visible);
    TMapCanvas* canvas = map->canvas();
    int gaiku = blocks->child(blocks->childCount() - 1)->data(0, Qt::UserRole).toInt();
    QCOMPARE(QString::fromStdString(layers[gaiku].data.name), QString("Gaiku_Gaiku_Pgn"));
    for (size_t f = 0; f < layers[gaiku].boxes.size(); ++f) {
      const pelmora::render::Box& box = layers[gaiku].boxes[f];
      QPointF at =
          canvas->view().ToScreen((box.min_x + box.max_x) / 2, (box.min_y + box.max_y) / 2);
      QTest::mouseClick(canvas, Qt::LeftButton, {}, at.toPoint());
      if (canvas->Highlighted().Valid()) QVERIFY(layers[canvas->Highlighted().layer].visible);
    }
    blocks->setCheckState(0, Qt::Checked);
    QVERIFY(layers[gaiku].visible);
    map->close();
  }

  // Reading the map again (the menu item once more) keeps the layers the
  // user hid hidden, and their boxes clear.
  void ticksSurviveAReload() {
    TMapWindow* map = OpenPreview(PELMORA_SAMPLE_DATA);
    QVERIFY(map);
    auto index_of = [map](const char* name) {
      const auto& layers = map->canvas()->scene()->layers();
      for (size_t i = 0; i < layers.size(); ++i)
        if (layers[i].data.name == name) return static_cast<int>(i);
      return -1;
    };
    map->LayerItem(index_of("Doro_Doro_Arc"))->setCheckState(0, Qt::Unchecked);
    QVERIFY(map == OpenPreview(PELMORA_SAMPLE_DATA));
    const int roads = index_of("Doro_Doro_Arc");
    QVERIFY(roads >= 0);
    QVERIFY(!map->canvas()->scene()->layers()[roads].visible);
    QCOMPARE(map->LayerItem(roads)->checkState(0), Qt::Unchecked);
    QCOMPARE(map->LayerItem(index_of("Gaiku_Gaiku_Pgn"))->checkState(0), Qt::Checked);
    map->close();
  }

  // The status bar names the cursor's coordinates by direction, so that
  // neither reading of X and Y can mistake easting for northing.
  void positionNamesEastingAndNorthing() {
    TMapWindow* map = OpenPreview(PELMORA_SAMPLE_DATA);
    QVERIFY(map);
    TMapCanvas* canvas = map->canvas();
    QPoint at(canvas->width() / 3, canvas->height() / 3);
    QMouseEvent move(QEvent::MouseMove, QPointF(at), canvas->mapToGlobal(QPointF(at)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(canvas, &move);
    pelmora::TSFPoint plane = canvas->view().ToPlane(at);
    QString text = map->position()->text();
    QString east = QString::number(plane.X, 'f', 2), north = QString::number(plane.Y, 'f', 2);
    QVERIFY2(text.startsWith("東西(E) " + east + " m  南北(N) " + north + " m"),
             qPrintable(text + " / " + east + " " + north));
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
