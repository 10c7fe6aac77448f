// Program paths, the settings file and window placement.
#include "app_paths.hpp"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <QWidget>
#include <QtTest>

#include "main_window.hpp"

using namespace pelmora::gui;

class AppPathsTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;

  QString Ini(const QString& name, const QString& content = QString()) {
    const QString path = dir_.filePath(name);
    QFile::remove(path);
    if (!content.isNull()) {
      QFile f(path);
      if (!f.open(QIODevice::WriteOnly)) qFatal("cannot write %s", qPrintable(path));
      f.write(content.toUtf8());
    }
    return path;
  }

  static void Touch(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) qFatal("cannot write %s", qPrintable(path));
  }

  static QString Read(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return QString();
    return QString::fromUtf8(f.readAll());
  }

 private slots:
  void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

  void extractFolder() {
    QCOMPARE(ExtractFolder("/opt/pelmora/pelmora"), QString("/opt/pelmora/"));
    QCOMPARE(ExtractFolder("/pelmora"), QString("/"));
    QCOMPARE(ExtractFolder("pelmora"), QString());
    // A folder whose name ends in 表 (second byte 0x5C in Shift-JIS).
    QCOMPARE(ExtractFolder("/home/u/表/pelmora"), QString("/home/u/表/"));
  }

  void extractBaseName() {
    QCOMPARE(ExtractBaseName("/tools/Converter.exe"), QString("Converter"));
    QCOMPARE(ExtractBaseName("archive.tar.gz"), QString("archive.tar"));
    QCOMPARE(ExtractBaseName("README"), QString("README"));
    QCOMPARE(ExtractBaseName("/a/b.c/pelmora"), QString("pelmora"));
    QCOMPARE(ExtractBaseName("/地図/変換.exe"), QString("変換"));
  }

  void appFolderAndSettingsFile() {
    QCOMPARE(GetAppFolder(), QCoreApplication::applicationDirPath() + "/");
    const QString ini = SettingsFilePath();
    QVERIFY(ini.endsWith("/app_paths_test.INI"));
    QVERIFY(ini.startsWith(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)));
  }

  void helpFileBesideOrInstalled() {
    // A tree laid out like an install: <root>/bin/ holds the program,
    // <root>/share/doc/pelmora/ the guide; the build tree has it in bin/.
    struct Case {
      const char* what;
      bool beside;
      bool installed;
      const char* expected;
    };
    const Case cases[] = {
        {"beside the program only", true, false, "bin/Pelmora.html"},
        {"installed only", false, true, "share/doc/pelmora/Pelmora.html"},
        {"both: the one beside the program", true, true, "bin/Pelmora.html"},
        {"neither: the path beside the program", false, false, "bin/Pelmora.html"},
    };
    for (const Case& c : cases) {
      QTemporaryDir root;
      QDir dir(root.path());
      QVERIFY(dir.mkpath("bin") && dir.mkpath("share/doc/pelmora"));
      if (c.beside) Touch(dir.filePath("bin/Pelmora.html"));
      if (c.installed) Touch(dir.filePath("share/doc/pelmora/Pelmora.html"));
      QVERIFY2(HelpFilePath(dir.filePath("bin") + "/") == dir.filePath(c.expected), c.what);
    }
    // The program's own folder in the build tree, where the tests run.
    QCOMPARE(HelpFilePath(), GetAppFolder() + "Pelmora.html");
  }

  void profileIntegers() {
    int v = 0;
    QVERIFY(ParseProfileInt("0x40", &v));
    QCOMPARE(v, 64);
    QVERIFY(ParseProfileInt("0X40", &v));
    QCOMPARE(v, 64);
    QVERIFY(ParseProfileInt("$40", &v));
    QCOMPARE(v, 64);
    QVERIFY(ParseProfileInt("-12", &v));
    QCOMPARE(v, -12);
    QVERIFY(ParseProfileInt("700", &v));
    QCOMPARE(v, 700);
    QVERIFY(!ParseProfileInt("abc", &v));
    QVERIFY(!ParseProfileInt("", &v));
    QVERIFY(!ParseProfileInt("12abc", &v));
    QVERIFY(!ParseProfileInt("0x", &v));
  }

  void loadDefaults() {
    QWidget w;
    LoadFormPlacement(w, Ini("missing.INI"));
    QCOMPARE(w.pos(), QPoint(20, 20));
    QCOMPARE(w.size(), QSize(700, 500));
    QCOMPARE(w.windowState(), Qt::WindowNoState);
  }

  void loadValues() {
    QWidget w;
    LoadFormPlacement(
        w, Ini("values.INI", "[Window]\nLeft=0x40\nTop=$10\nWidth=640\nHeight=480\nState=0\n"));
    QCOMPARE(w.pos(), QPoint(64, 16));
    QCOMPARE(w.size(), QSize(640, 480));
  }

  void loadBadText() {
    QWidget w;
    LoadFormPlacement(w, Ini("bad.INI", "[window]\r\nleft=abc\r\nTop=33\r\n"));
    QCOMPARE(w.pos(), QPoint(20, 33));  // abc gives the default; names ignore case
  }

  void loadOtherSectionIgnored() {
    QWidget w;
    LoadFormPlacement(w, Ini("other.INI", "[Other]\nLeft=99\n[Window]\nTop=7\n"));
    QCOMPARE(w.pos(), QPoint(20, 7));
  }

  void loadState1IsMaximised() {
    QWidget w;
    LoadFormPlacement(w, Ini("s1.INI", "[Window]\nState=1\n"));
    QVERIFY(w.isMaximized());
  }

  void loadState2IsMinimised() {
    QWidget w;
    LoadFormPlacement(w, Ini("s2.INI", "[Window]\nState=2\n"));
    QVERIFY(w.isMinimized());
  }

  void loadState7IsNormal() {
    QWidget w;
    LoadFormPlacement(w, Ini("s7.INI", "[Window]\nState=7\n"));
    QCOMPARE(w.windowState(), Qt::WindowNoState);
  }

  void saveNormal() {
    QWidget w;
    w.move(111, 122);
    w.resize(333, 244);
    const QString ini = Ini("save.INI", "[Other]\nKeep=1\n");
    SaveFormPlacement(w, ini);
    QCOMPARE(ReadProfileInt(ini, "Window", "Left", 0), 111);
    QCOMPARE(ReadProfileInt(ini, "Window", "Top", 0), 122);
    QCOMPARE(ReadProfileInt(ini, "Window", "Width", 0), 333);
    QCOMPARE(ReadProfileInt(ini, "Window", "Height", 0), 244);
    QCOMPARE(ReadProfileInt(ini, "Window", "State", -1), 0);
    QCOMPARE(ReadProfileInt(ini, "Other", "Keep", 0), 1);  // other lines stay
    QCOMPARE(
        Read(ini),
        QString(
            "[Other]\nKeep=1\n\n[Window]\nLeft=111\nTop=122\nWidth=333\nHeight=244\nState=0\n"));
    // Saving again rewrites the values in place.
    w.move(5, 6);
    SaveFormPlacement(w, ini);
    QCOMPARE(
        Read(ini),
        QString("[Other]\nKeep=1\n\n[Window]\nLeft=5\nTop=6\nWidth=333\nHeight=244\nState=0\n"));
  }

  void saveMinimisedWritesOnlyState() {
    const QString ini =
        Ini("min.INI", "[Window]\nLeft=101\nTop=102\nWidth=103\nHeight=104\nState=0\n");
    QWidget w;
    w.move(300, 300);
    w.show();
    w.showMinimized();
    QVERIFY(w.isMinimized());
    SaveFormPlacement(w, ini);
    QVERIFY(!w.isVisible());                       // hidden first
    QCOMPARE(w.windowState(), Qt::WindowNoState);  // then set to normal
    QCOMPARE(Read(ini), QString("[Window]\nLeft=101\nTop=102\nWidth=103\nHeight=104\nState=2\n"));
    // The next start opens minimised, at the last normal-state position.
    QWidget next;
    LoadFormPlacement(next, ini);
    QVERIFY(next.isMinimized());
    QCOMPARE(next.pos(), QPoint(101, 102));
  }

  void saveMaximisedWritesOnlyState() {
    const QString ini = Ini("max.INI");
    QWidget w;
    w.setWindowState(Qt::WindowMaximized);
    SaveFormPlacement(w, ini);
    QCOMPARE(Read(ini), QString("[Window]\nState=1\n"));
  }

  void saveFailure() {
    // A settings file whose folder is a file cannot be written.
    const QString blocker = Ini("blocker", "x");
    const QString ini = blocker + "/pelmora.INI";
    QWidget w;
    try {
      SaveFormPlacement(w, ini);
      QFAIL("no error");
    } catch (const SettingsWriteError& e) {
      QCOMPARE(e.text(), ini + " に書き込めません");
      QCOMPARE(QString::fromUtf8(e.what()), ini + " に書き込めません");
    }
  }

  void settingsFileInFolderEndingIn5C() {
    // The folder 表 gets its own "/" and the file lies inside it.
    const QString ini = dir_.filePath("表") + "/pelmora.INI";
    QVERIFY(WriteProfileString(ini, "Window", "State", "0"));
    QVERIFY(QFile::exists(dir_.filePath("表/pelmora.INI")));
  }

  void version() {
    QString v = "unchanged";
    GetAppVersion(v);
    QCOMPARE(v, QString("2.0.2.105"));
  }

  void mainWindowPlacement() {
    // A file with another width and height: the window keeps its own size and
    // takes the stored left and top.
    const QString ini =
        Ini("main.INI", "[Window]\nLeft=0x40\nTop=50\nWidth=1000\nHeight=900\nState=0\n");
    TfrmMain w;
    w.SetSettingsFilePath(ini);
    w.show();
    QCOMPARE(w.pos(), QPoint(64, 50));
    QCOMPARE(w.centralWidget()->size(), QSize(793, 432));
    QCOMPARE(w.width(), 793);
    QCOMPARE(w.minimumSize(), w.maximumSize());
    // Closing saves the position; the next window opens there.
    w.move(77, 88);
    QVERIFY(w.close());
    QCOMPARE(ReadProfileInt(ini, "Window", "Left", 0), 77);
    QCOMPARE(ReadProfileInt(ini, "Window", "Top", 0), 88);
    QCOMPARE(ReadProfileInt(ini, "Window", "State", -1), 0);
    TfrmMain again;
    again.SetSettingsFilePath(ini);
    again.show();
    QCOMPARE(again.pos(), QPoint(77, 88));
  }

  void mainWindowFirstStart() {
    TfrmMain w;
    w.SetSettingsFilePath(Ini("first.INI"));
    w.show();
    QCOMPARE(w.pos(), QPoint(20, 20));
    QCOMPARE(w.windowState(), Qt::WindowNoState);
  }

  void mainWindowMinimisedClose() {
    const QString ini = Ini("mainmin.INI", "[Window]\nLeft=30\nTop=40\nState=0\n");
    {
      TfrmMain w;
      w.SetSettingsFilePath(ini);
      w.show();
      w.showMinimized();
      QVERIFY(w.close());
    }
    QCOMPARE(Read(ini), QString("[Window]\nLeft=30\nTop=40\nState=2\n"));
    TfrmMain next;
    next.SetSettingsFilePath(ini);
    next.show();
    QVERIFY(next.isMinimized());
    next.showNormal();
    QCOMPARE(next.pos(), QPoint(30, 40));
  }
};

QTEST_MAIN(AppPathsTest)
#include "app_paths_test.moc"
