// Folders dragged from the file manager onto the folder list register as
// "追加..." registers them; files and other things dropped there do nothing.
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "folder_list.hpp"
#include "gui_test_support.hpp"
#include "main_window.hpp"

using namespace pelmora::gui;
using pelmora::gui::test::AnswerPicker;
using pelmora::gui::test::RecordingBoxes;

class FolderDropTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  std::unique_ptr<TfrmMain> w_;
  RecordingBoxes boxes_;

  TfrmMain& W() { return *w_; }

  QString Folder(const QString& name) {
    const QString path = QDir::cleanPath(dir_.filePath(name));
    QDir().mkpath(path);
    return path;
  }

  QString File(const QString& name) {
    const QString path = QDir::cleanPath(dir_.filePath(name));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write("not a folder\n");
    return path;
  }

  // Drags data over the list's rows and drops it there, as the file manager
  // does; true when the list took the drag on entering.
  bool DragAndDrop(const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    QWidget* target = W().ListBox1->viewport();
    const QPoint at(20, 20);
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, &data,
                          Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDragMoveEvent move(at, Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, &data, Qt::LeftButton,
                        Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    QDropEvent drop(at, Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, &data, Qt::LeftButton,
                    Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return enter.isAccepted() && move.isAccepted() && drop.isAccepted() &&
           drop.dropAction() == Qt::CopyAction;
  }

  static QUrl Url(const QString& path) { return QUrl::fromLocalFile(path); }

 private slots:
  void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

  void init() { QVERIFY(OpenTestWindow(w_, dir_.filePath("placement.INI"), boxes_)); }

  void cleanup() { w_.reset(); }

  void drops_data() {
    QTest::addColumn<QStringList>("listed");   // registered before the drop
    QTest::addColumn<QStringList>("dropped");  // "f:" a file, "u:" a web address
    QTest::addColumn<bool>("taken");
    QTest::addColumn<QStringList>("expected");  // the list after the drop
    QTest::addColumn<QStringList>("warned");    // paths named by duplicate warnings
    QTest::newRow("two folders, in the order dragged")
        << QStringList() << QStringList{"maps/b", "maps/a"} << true
        << QStringList{"maps/b", "maps/a"} << QStringList();
    QTest::newRow("after folders added with the picker")
        << QStringList{"maps/a"} << QStringList{"maps/b"} << true << QStringList{"maps/a", "maps/b"}
        << QStringList();
    QTest::newRow("a file") << QStringList() << QStringList{"f:maps/a.txt"} << false
                            << QStringList() << QStringList();
    QTest::newRow("a missing folder")
        << QStringList() << QStringList{"gone/nowhere"} << false << QStringList() << QStringList();
    QTest::newRow("a web address") << QStringList() << QStringList{"u:https://example.com/a"}
                                   << false << QStringList() << QStringList();
    QTest::newRow("a folder among files")
        << QStringList() << QStringList{"f:maps/a.txt", "maps/a", "f:maps/b.txt"} << true
        << QStringList{"maps/a"} << QStringList();
    QTest::newRow("a folder listed already")
        << QStringList{"maps/a"} << QStringList{"maps/a", "maps/b"} << true
        << QStringList{"maps/a", "maps/b"} << QStringList{"maps/a"};
    // On Linux letter case tells two folders apart.
    QTest::newRow("another folder in other letter case")
        << QStringList{"maps/a"} << QStringList{"MAPS/A"} << true << QStringList{"maps/a", "MAPS/A"}
        << QStringList();
    QTest::newRow("the same folder twice in one drag")
        << QStringList() << QStringList{"maps/a", "maps/a/"} << true << QStringList{"maps/a"}
        << QStringList{"maps/a"};
  }

  void drops() {
    QFETCH(QStringList, listed);
    QFETCH(QStringList, dropped);
    QFETCH(bool, taken);
    QFETCH(QStringList, expected);
    QFETCH(QStringList, warned);
    for (const QString& name : listed) {
      AnswerPicker(W().FolderBrowseDialog1, Folder(name));
      W().Button1->click();
    }
    QList<QUrl> urls;
    for (const QString& item : dropped) {
      if (item.startsWith("f:")) {
        urls << Url(File(item.mid(2)));
      } else if (item.startsWith("u:")) {
        urls << QUrl(item.mid(2));
      } else if (item.startsWith("gone/")) {
        urls << Url(dir_.filePath(item));
      } else {
        Folder(item);
        urls << Url(dir_.filePath(item));  // as given, trailing "/" and all
      }
    }
    QCOMPARE(DragAndDrop(urls), taken);
    QStringList expected_paths;
    for (const QString& name : expected) expected_paths << QDir::cleanPath(dir_.filePath(name));
    QCOMPARE(W().ListBox1->Paths(), expected_paths);
    QCOMPARE(boxes_.boxes.size(), warned.size());
    for (int i = 0; i < warned.size(); ++i) {
      QCOMPARE(boxes_.boxes[i].kind, MessageKind::kWarning);
      QCOMPARE(boxes_.boxes[i].text,
               QDir::cleanPath(dir_.filePath(warned[i])) + " は\n\r" + "既に登録されています。");
    }
    QDir(dir_.path()).removeRecursively();  // every row starts from an empty folder
    QDir().mkpath(dir_.path());
  }
};

QTEST_MAIN(FolderDropTest)
#include "folder_drop_test.moc"
