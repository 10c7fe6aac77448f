// Path shortening and the folder list control.
#include "folder_list.hpp"

#include <QFontMetrics>
#include <QPainter>
#include <QtTest>

#include "main_window.hpp"

using namespace pelmora::gui;

class FolderListTest : public QObject {
  Q_OBJECT

 private:
  static QFontMetrics Metrics() { return QFontMetrics(TfrmMain::WindowFont()); }

  // The chain FitPathToWidth walks through for path, narrowing the width to
  // one pixel less than each candidate in turn.
  static QStringList Chain(const QString& path) {
    const QFontMetrics fm = Metrics();
    QStringList shown;
    int width = fm.horizontalAdvance(path);
    for (;;) {
      const QString s = FitPathToWidth(path, fm, width);
      if (!shown.isEmpty() && shown.last() == s) break;
      shown << s;
      if (width <= 0) break;
      width = fm.horizontalAdvance(s) - 1;
      if (width < 0) width = 0;
    }
    return shown;
  }

 private slots:
  void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

  void cutFirstFolder() {
    QCOMPARE(CutFirstFolder("/data/maps/"), QString("/.../maps/"));
    QCOMPARE(CutFirstFolder("/.../maps/"), QString("/.../"));
    QCOMPARE(CutFirstFolder(".../"), QString(""));
    QCOMPARE(CutFirstFolder("/"), QString(""));
    QCOMPARE(CutFirstFolder("data/maps/"), QString(".../maps/"));
    QCOMPARE(CutFirstFolder("/データ/地図/"), QString("/.../地図/"));
    QCOMPARE(CutFirstFolder("/.../地図/"), QString("/.../"));
    // Only an earlier ".../" is taken for one, not any folder beginning with ".".
    QCOMPARE(CutFirstFolder("/.a/x/"), QString("/.../x/"));
  }

  void workedExample() {
    QCOMPARE(Chain("/data/maps/tokyo"), QStringList({"/data/maps/tokyo", "/.../maps/tokyo",
                                                     "/.../tokyo", ".../tokyo", "tokyo"}));
  }

  void stopsAtFirstThatFits() {
    const QFontMetrics fm = Metrics();
    const QString path = "/data/maps/tokyo";
    QCOMPARE(FitPathToWidth(path, fm, 1000), path);
    QCOMPARE(FitPathToWidth(path, fm, fm.horizontalAdvance("/.../maps/tokyo")),
             QString("/.../maps/tokyo"));
    QCOMPARE(FitPathToWidth(path, fm, fm.horizontalAdvance("/.../tokyo")), QString("/.../tokyo"));
    QCOMPARE(FitPathToWidth(path, fm, fm.horizontalAdvance(".../tokyo")), QString(".../tokyo"));
    // Nothing left to cut: the name alone, even if wider.
    QCOMPARE(FitPathToWidth(path, fm, 0), QString("tokyo"));
  }

  void japaneseFolderNames() {
    QCOMPARE(Chain("/home/利用者/数値地図/東京都"),
             QStringList({"/home/利用者/数値地図/東京都", "/.../利用者/数値地図/東京都",
                          "/.../数値地図/東京都", "/.../東京都", ".../東京都", "東京都"}));
    // 表 and ソ end in the byte 0x5C in Shift-JIS; here they are whole characters.
    QCOMPARE(Chain("/表/ソフト/地図"),
             QStringList({"/表/ソフト/地図", "/.../ソフト/地図", "/.../地図", ".../地図", "地図"}));
  }

  void rootAndRelative() {
    const QFontMetrics fm = Metrics();
    QCOMPARE(FitPathToWidth("/", fm, 0), QString(""));
    QCOMPARE(FitPathToWidth("tokyo", fm, 0), QString("tokyo"));
  }

  void listControl() {
    TFolderListBox list;
    QCOMPARE(list.selectionMode(), QAbstractItemView::ExtendedSelection);
    list.addItem("/data/a");
    list.addItem("/data/B");
    // Letter case tells two folders apart on Linux (on Windows it does not).
    QCOMPARE(list.IndexOfPath("/DATA/A"), -1);
    QCOMPARE(list.IndexOfPath("/data/a"), 0);
    QCOMPARE(list.IndexOfPath("/data/B"), 1);
    QCOMPARE(list.IndexOfPath("/data/a/"), -1);  // whole paths only
    QCOMPARE(list.Paths(), QStringList({"/data/a", "/data/B"}));
    QCOMPARE(list.sizeHintForRow(0), TFolderListBox::kRowHeight);
  }

  void folderIcon() {
    const QImage icon = FolderIcon16().toImage();
    QCOMPARE(icon.size(), QSize(16, 16));
    QCOMPARE(icon.pixelColor(0, 0).alpha(), 0);  // transparent background
    const QColor middle = icon.pixelColor(8, 10);
    QVERIFY(middle.alpha() == 255 && middle.red() > 200 && middle.green() > 150 &&
            middle.blue() < 150);
  }

  void rowDrawing() {
    // A long path drawn in the 329-pixel list shows shortened, with the icon
    // at Rect.Left + 1 and the text from Rect.Left + 19.
    TfrmMain w;
    w.show();
    const QString long_path =
        "/home/user/とても長いフォルダの名前/さらに長いサブフォルダの名前/地図データ/東京都";
    w.ListBox1->addItem(long_path);
    QCOMPARE(w.ListBox1->item(0)->text(), long_path);  // the item keeps the full path
    const QFontMetrics fm(w.ListBox1->font());
    const QString shown = FitPathToWidth(long_path, fm, w.ListBox1->viewport()->width() - 18);
    QVERIFY(shown.startsWith("/.../"));
    QVERIFY(shown.endsWith("/東京都"));
    QApplication::processEvents();  // the list lays its items out later
    const QImage image = w.ListBox1->viewport()->grab().toImage();
    if (qEnvironmentVariableIsSet("PELMORA_SAVE_IMAGES")) image.save("/tmp/listbox.png");
    const QRect row = w.ListBox1->visualItemRect(w.ListBox1->item(0));
    QCOMPARE(row.height(), 16);
    const qreal dpr = image.devicePixelRatio();
    const QColor icon_pixel = image.pixelColor(QPoint(row.left() + 1 + 8, row.top() + 10) * dpr);
    QVERIFY2(icon_pixel.red() > 200 && icon_pixel.blue() < 150, qPrintable(icon_pixel.name()));
    // Some dark text pixel lies right of the icon.
    bool text_found = false;
    for (int x = row.left() + 19; x < row.left() + 60 && !text_found; ++x) {
      for (int y = row.top() + 2; y < row.bottom(); ++y) {
        if (image.pixelColor(QPoint(x, y) * dpr).lightness() < 100) text_found = true;
      }
    }
    QVERIFY(text_found);
  }
};

QTEST_MAIN(FolderListTest)
#include "folder_list_test.moc"
