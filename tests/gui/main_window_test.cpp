// The main window, its folder list, the about box and the settings warnings,
// on the real window.
#include "main_window.hpp"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>

#include "about_dialog.hpp"
#include "app_paths.hpp"
#include "folder_list.hpp"
#include "gui_test_support.hpp"
#include "guide_viewer.hpp"
#include "window_layout.hpp"

using namespace pelmora::gui;
using pelmora::gui::test::AnswerPicker;
using pelmora::gui::test::RecordingBoxes;

// Catches what the window asks the desktop to open.
class UrlCatcher : public QObject {
  Q_OBJECT
 public:
  QList<QUrl> urls;
 public slots:
  void Open(const QUrl& url) { urls << url; }
};

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  std::unique_ptr<TfrmMain> w_;
  RecordingBoxes boxes_;
  UrlCatcher urls_;

  QString Make(const QString& name) {
    const QString path = QDir::cleanPath(dir_.filePath(name));
    QDir().mkpath(path);
    return path;
  }

  TfrmMain& W() { return *w_; }

 private slots:
  void initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    for (const char* scheme : {"http", "https", "file", "mailto"}) {
      QDesktopServices::setUrlHandler(scheme, &urls_, "Open");
    }
  }

  void init() {
    urls_.urls.clear();
    QVERIFY(OpenTestWindow(w_, dir_.filePath("placement.INI"), boxes_));
    // The guide goes to the desktop through the window's seam; the desktop
    // here takes it.
    W().SetUrlOpener([this](const QUrl& url) {
      urls_.Open(url);
      return true;
    });
  }

  void cleanup() { w_.reset(); }

  void windowProperties() {
    QCOMPARE(W().windowTitle(), QString("Pelmora Converter"));
    QCOMPARE(W().centralWidget()->geometry().size(), QSize(793, 432));
    QCOMPARE(W().centralWidget()->y(), W().menuBar()->height());
    QCOMPARE(W().minimumSize(), W().maximumSize());  // not resizable
    QCOMPARE(W().size(), QSize(793, W().menuBar()->height() + 432));
    const Qt::WindowFlags flags = W().windowFlags();
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(flags & Qt::WindowMinimizeButtonHint);
    QVERIFY(flags & Qt::WindowSystemMenuHint);
    const QFontInfo font(W().font());
    QVERIFY2(font.family() == "ＭＳ Ｐゴシック" || font.family() == "IPAPGothic",
             qPrintable(font.family()));
    QCOMPARE(W().font().pixelSize(), 12);
  }

  void controlsAndCaptions() {
    // Every control of the shared layout table at its place with its
    // caption; labels size themselves, and no caption is clipped.
    std::vector<pelmora::window::ControlPlace> places(pelmora::window::MainWindowControls().begin(),
                                                      pelmora::window::MainWindowControls().end());
    for (const auto& box : pelmora::window::GroupCheckBoxes()) places.push_back(box);
    for (const pelmora::window::ControlPlace& place : places) {
      const QString name = QString::fromLatin1(place.name.data(), place.name.size());
      const QString caption = QString::fromUtf8(place.caption.data(), place.caption.size());
      auto* widget = W().findChild<QWidget*>(name);
      QVERIFY2(widget, qPrintable(name));
      QCOMPARE(widget->pos(), QPoint(place.left, place.top));
      if (auto* label = qobject_cast<QLabel*>(widget)) {
        if (!caption.isEmpty()) QCOMPARE(label->text(), caption);
        QVERIFY2(label->width() >= label->fontMetrics().horizontalAdvance(label->text()),
                 qPrintable(name));
        continue;
      }
      QCOMPARE(widget->size(), QSize(place.width, place.height));
      if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        QCOMPARE(button->text(), caption);
        QVERIFY2(button->fontMetrics().horizontalAdvance(button->text()) < place.width,
                 qPrintable(name));
      }
      if (auto* box = qobject_cast<QCheckBox*>(widget)) {
        QCOMPARE(box->parentWidget(), W().GroupBox1);
        QVERIFY(!box->isChecked());
        QVERIFY(box->sizeHint().width() <= place.width);  // the caption is not clipped
      }
    }
    QCOMPARE(W().GroupBox1->title(), QString("変換対象項目"));
    QCOMPARE(W().Label2->text(), QString("MIFに記録する座標系"));
    QCOMPARE(W().Label3->text(), QString("MIFの出力先フォルダ"));
    auto* memo = W().findChild<QPlainTextEdit*>("Memo1");
    QCOMPARE(memo->lineWrapMode(), QPlainTextEdit::NoWrap);
    QCOMPARE(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(memo->horizontalScrollBarPolicy(), Qt::ScrollBarAsNeeded);  // long lines
    QVERIFY(!memo->isReadOnly());
    QVERIFY(memo->toPlainText().isEmpty());
    auto* bar = W().findChild<QProgressBar*>("ProgressBar1");
    QCOMPARE(bar->minimum(), 0);
    QCOMPARE(bar->maximum(), 100);
    QCOMPARE(bar->value(), 0);
  }

  void startState() {
    QCOMPARE(W().ComboBox1->count(), 38);
    QCOMPARE(W().ComboBox1->currentIndex(), 0);
    QVERIFY(!W().ComboBox1->isEditable());
    QVERIFY(W().Edit1->text().isEmpty());
    QCOMPARE(W().ListBox1->count(), 0);
    QCOMPARE(W().HelpFile(), GetAppFolder() + "Pelmora.html");
  }

  void tabOrder() {
    const char* chain[] = {"ListBox1",  "Button1",   "Button2",   "Button3",   "ComboBox1",
                           "Edit1",     "Button4",   "CheckBox1", "CheckBox2", "CheckBox3",
                           "CheckBox4", "CheckBox5", "CheckBox6", "CheckBox7", "CheckBox8",
                           "CheckBox9", "Button5",   "Button6",   "Button7",   "Memo1"};
    QWidget* w = W().findChild<QWidget*>(chain[0]);
    w->setFocus();
    for (size_t i = 1; i < std::size(chain); ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QCOMPARE(QApplication::focusWidget()->objectName(), QString(chain[i]));
    }
    // From the log pane the focus goes round to the folder list.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), QString("ListBox1"));
  }

  void menus() {
    QCOMPARE(W().F1->title(), QString("ファイル(&F)"));
    QCOMPARE(W().H1->title(), QString("ヘルプ(&H)"));
    const QList<QAction*> file = W().F1->actions();
    QCOMPARE(file.size(), 4);
    QCOMPARE(file[0]->objectName(), QString("K1"));
    QCOMPARE(file[0]->text(), QString("数値地図2500の閲覧ページへ(&K)"));
    QVERIFY(file[1]->isSeparator());
    QCOMPARE(file[2]->objectName(), QString("S1"));
    QCOMPARE(file[2]->text(), QString("変換を中止"));
    QCOMPARE(file[2]->shortcut(), QKeySequence(Qt::Key_Escape));
    QVERIFY(!file[2]->isEnabled());  // only while a run goes on
    QCOMPARE(file[3]->objectName(), QString("X1"));
    QCOMPARE(file[3]->text(), QString("終了(&X)"));
    const QList<QAction*> help = W().H1->actions();
    QCOMPARE(help.size(), 3);
    QCOMPARE(help[0]->objectName(), QString("H2"));
    QCOMPARE(help[0]->text(), QString("トピックの検索(&H)"));
    QCOMPARE(help[0]->shortcut(), QKeySequence(Qt::Key_F1));
    QVERIFY(help[1]->isSeparator());
    QCOMPARE(help[2]->objectName(), QString("A1"));
    QCOMPARE(help[2]->text(), QString("バージョン情報(&A)..."));
    QVERIFY(W().findChild<QAction*>("K1") && W().findChild<QAction*>("A1"));
  }

  // The option menu's check item chooses how polygons are made; unticked,
  // they are chained as the command line does by default.
  void polygonAssemblyItem() {
    QVERIFY(W().P1->isCheckable());
    QVERIFY(!W().P1->isChecked());
    QCOMPARE(W().O1->actions(), QList<QAction*>{W().P1});
    QCOMPARE(W().ReadSettings().polygons, pelmora::PolygonMode::kChained);
    W().P1->setChecked(true);
    QCOMPARE(W().ReadSettings().polygons, pelmora::PolygonMode::kAssembled);
    W().P1->setChecked(false);
  }

  void helpAndPublisherPage() {
    W().H2->trigger();
    QCOMPARE(urls_.urls.size(), 1);
    QCOMPARE(urls_.urls[0], QUrl::fromLocalFile(GetAppFolder() + "Pelmora.html"));
    // F1 from anywhere in the window.
    W().Edit1->setFocus();
    QTest::keyClick(W().Edit1, Qt::Key_F1);
    QCOMPARE(urls_.urls.size(), 2);
    W().K1->trigger();
    QCOMPARE(urls_.urls.size(), 3);
    QVERIFY(urls_.urls[2].scheme() == "https" && urls_.urls[2].path().endsWith("/search.html"));
    QVERIFY(boxes_.boxes.isEmpty());
  }

  // Where no browser shows the guide, the window shows it in its own viewer
  // (one, raised again on the next F1); a missing guide is said so.
  void helpWithoutABrowser() {
    W().SetUrlOpener([](const QUrl&) { return false; });
    QVERIFY(!W().findChild<TGuideViewer*>());
    W().Edit1->setFocus();
    QTest::keyClick(W().Edit1, Qt::Key_F1);
    auto* viewer = W().findChild<TGuideViewer*>();
    QVERIFY(viewer);
    QVERIFY(viewer->isVisible());
    QCOMPARE(viewer->windowTitle(), QString("Pelmora Converter ヘルプ"));
    QCOMPARE(viewer->browser()->source(), QUrl::fromLocalFile(W().HelpFile()));
    QVERIFY(viewer->browser()->toPlainText().contains("Pelmora Converter の使い方"));
    W().H2->trigger();
    QCOMPARE(W().findChildren<TGuideViewer*>().size(), 1);
    QVERIFY(boxes_.boxes.isEmpty());

    // A Markdown guide is shown as Markdown.
    viewer->close();
    const QString markdown = dir_.filePath("guide.md");
    QFile md(markdown);
    QVERIFY(md.open(QIODevice::WriteOnly));
    md.write("# 使い方\n\n- **太字**の項目\n");
    md.close();
    W().SetHelpFile(markdown);
    W().H2->trigger();
    QTRY_COMPARE(W().findChildren<TGuideViewer*>().size(), 1);  // the closed one is gone
    viewer = W().findChild<TGuideViewer*>();
    QCOMPARE(viewer->browser()->toPlainText().left(3), QString("使い方"));
    QVERIFY(!viewer->browser()->toPlainText().contains("**"));
    viewer->close();

    // The desktop's own opener knows that offscreen there is no browser.
    W().SetUrlOpener(nullptr);
    W().SetHelpFile(GetAppFolder() + "Pelmora.html");
    W().H2->trigger();
    QTRY_COMPARE(W().findChildren<TGuideViewer*>().size(), 1);
    QCOMPARE(W().findChild<TGuideViewer*>()->windowTitle(), QString("Pelmora Converter ヘルプ"));
    QVERIFY(urls_.urls.isEmpty());
    W().findChild<TGuideViewer*>()->close();

    const QString missing = dir_.filePath("no-guide.html");
    W().SetHelpFile(missing);
    W().H2->trigger();
    QCOMPARE(boxes_.boxes.size(), 1);
    QCOMPARE(boxes_.boxes[0].kind, MessageKind::kError);
    QCOMPARE(boxes_.boxes[0].text, QString("ヘルプファイル「%1」が見つかりません。").arg(missing));
  }

  void helpFileIsBesideTheProgram() {
    // The build copies the guide beside the pelmora program.
    const QString beside =
        QDir(QCoreApplication::applicationDirPath()).filePath("../../src/gui/Pelmora.html");
    QVERIFY2(QFile::exists(beside), qPrintable(beside));
  }

  void exitClosesAndSaves() {
    W().move(41, 42);
    W().X1->trigger();
    QVERIFY(!W().isVisible());
    QCOMPARE(ReadProfileInt(W().SettingsFile(), "Window", "Left", 0), 41);
    QCOMPARE(ReadProfileInt(W().SettingsFile(), "Window", "Top", 0), 42);
  }

  void closeWithUnwritableSettings() {
    const QString blocker = dir_.filePath("blocker");
    QFile f(blocker);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    W().SetSettingsFilePath(blocker + "/pelmora.INI");
    QVERIFY(W().close());  // the window still closes
    QCOMPARE(boxes_.boxes.size(), 1);
    QCOMPARE(boxes_.boxes[0].kind, MessageKind::kError);
    QCOMPARE(boxes_.boxes[0].caption, QString("Pelmorix Converter"));
    QCOMPARE(boxes_.boxes[0].text, blocker + "/pelmora.INI に書き込めません");
  }

  // --- the settings warnings, in the order they are checked ---

  void warningNoFolders() {
    W().Button5->click();
    W().Edit1->setText(dir_.path());
    W().Button7->setFocus();
    W().Button7->click();
    QCOMPARE(boxes_.boxes.size(), 1);
    QCOMPARE(boxes_.boxes[0].kind, MessageKind::kWarning);
    QCOMPARE(boxes_.boxes[0].caption, QString("警告"));
    QCOMPARE(boxes_.boxes[0].text, QString("変換対象の数値地図2500がありません。"));
    QCOMPARE(QApplication::focusWidget(), W().Button1);
    QCOMPARE(W().Edit1->text(), dir_.path());  // untouched
    QVERIFY(!W().IsConverting());
  }

  void warningBadOutputFolder_data() {
    // The specified warning, then the path and what is wrong with it.
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("reason");
    QTest::newRow("empty") << QString() << QString("出力先のフォルダが指定されていません。");
    QTest::newRow("missing") << dir_.filePath("no/such/folder")
                             << "フォルダ「" + dir_.filePath("no/such/folder") + "」はありません。";
    QTest::newRow("file") << dir_.filePath("a-file.txt")
                          << "「" + dir_.filePath("a-file.txt") +
                                 "」はフォルダではなくファイルです。";
  }

  void warningBadOutputFolder() {
    QFETCH(QString, output);
    QFETCH(QString, reason);
    QFile file(dir_.filePath("a-file.txt"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    W().ListBox1->addItem(Make("maps"));
    W().Button5->click();
    W().Edit1->setText(output);
    W().Button7->click();
    QCOMPARE(boxes_.boxes.size(), 1);
    QCOMPARE(boxes_.boxes[0].caption, QString("警告"));
    QCOMPARE(boxes_.boxes[0].text, "MIFの出力先フォルダが不正です。\n" + reason);
    QCOMPARE(QApplication::focusWidget(), W().Edit1);
    QCOMPARE(W().Edit1->text(), output);
  }

  void warningNoGroupsAfterTrailingSeparator() {
    W().ListBox1->addItem(Make("maps"));
    const QString out = Make("出力");
    W().Edit1->setText(out);
    boxes_.probe = [this] { return W().Edit1->text(); };
    W().Memo1->setPlainText("earlier log");
    W().Button7->click();
    QCOMPARE(boxes_.boxes.size(), 1);
    QCOMPARE(boxes_.boxes[0].caption, QString("警告"));
    QCOMPARE(boxes_.boxes[0].text, QString("変換対象項目がありません。"));
    QCOMPARE(boxes_.boxes[0].note, out + "/");  // written back before the warning
    QCOMPARE(W().Edit1->text(), out + "/");
    QCOMPARE(QApplication::focusWidget(), W().CheckBox[0]);
    QCOMPARE(W().Memo1->toPlainText(), QString("earlier log"));  // not cleared
    // A second press leaves the separator single.
    W().Button7->click();
    QCOMPARE(W().Edit1->text(), out + "/");
  }

  void warningMapFolderWithoutData_data() {
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << Make("empty") << QString("」に変換対象のデータがありません。");
    QTest::newRow("missing") << dir_.filePath("gone") << QString("」が見つかりません。");
  }

  void warningMapFolderWithoutData() {
    QFETCH(QString, folder);
    QFETCH(QString, text);
    W().ListBox1->addItem(folder);
    W().Button5->click();  // every group
    W().Edit1->setText(Make("out"));
    W().Button7->setFocus();
    W().Button7->click();
    QCOMPARE(boxes_.boxes.size(), 1);
    QCOMPARE(boxes_.boxes[0].caption, QString("警告"));
    QCOMPARE(boxes_.boxes[0].text, "数値地図2500のフォルダ「" + folder + text);
    QCOMPARE(QApplication::focusWidget(), W().ListBox1);
    QVERIFY(!W().IsConverting());
  }

  // --- select all and none ---

  void selectAllAndNone() {
    W().CheckBox[3]->setChecked(true);
    W().Button5->click();
    for (QCheckBox* box : W().CheckBox) QVERIFY(box->isChecked());
    W().Button6->click();
    for (QCheckBox* box : W().CheckBox) QVERIFY(!box->isChecked());
    W().Button6->click();
    for (QCheckBox* box : W().CheckBox) QVERIFY(!box->isChecked());
    QVERIFY(boxes_.boxes.isEmpty());
  }

  // --- folder list ---

  void addFolders() {
    const QString a = Make("list/b-area");
    const QString b = Make("list/A-area");
    AnswerPicker(W().FolderBrowseDialog1, a);
    W().Button1->click();
    AnswerPicker(W().FolderBrowseDialog1, b);
    W().Button1->click();
    QCOMPARE(W().ListBox1->count(), 2);
    QCOMPARE(W().ListBox1->item(0)->text(), a);  // not sorted: in the order added
    QCOMPARE(W().ListBox1->item(1)->text(), b);
    QCOMPARE(W().ListBox1->selectedItems().size(), 0);
    QVERIFY(boxes_.boxes.isEmpty());
    // Cancel changes nothing.
    AnswerPicker(W().FolderBrowseDialog1, QString());
    W().Button1->click();
    QCOMPARE(W().ListBox1->count(), 2);
    // A folder and its own subfolder may both be listed.
    const QString sub = Make("list/b-area/sub");
    AnswerPicker(W().FolderBrowseDialog1, sub);
    W().Button1->click();
    QCOMPARE(W().ListBox1->count(), 3);
  }

  void duplicateWarning() {
    const QString lower = Make("dup/data");
    const QString upper = Make("dup/DATA");
    AnswerPicker(W().FolderBrowseDialog1, lower);
    W().Button1->click();
    AnswerPicker(W().FolderBrowseDialog1, lower);
    W().Button1->click();
    // On Linux the same path in other letter case is another folder.
    AnswerPicker(W().FolderBrowseDialog1, upper);
    W().Button1->click();
    QCOMPARE(W().ListBox1->count(), 2);
    QCOMPARE(W().ListBox1->item(0)->text(), lower);
    QCOMPARE(W().ListBox1->item(1)->text(), upper);
    QCOMPARE(boxes_.boxes.size(), 1);
    QCOMPARE(boxes_.boxes[0].kind, MessageKind::kWarning);
    QCOMPARE(boxes_.boxes[0].caption, QString("警告"));
    QCOMPARE(boxes_.boxes[0].text, lower + " は\n\r既に登録されています。");
  }

  void removeCurrentOnly() {
    for (const char* p : {"/m/one", "/m/two", "/m/three", "/m/four"}) W().ListBox1->addItem(p);
    // Three items selected, the focus rectangle on a fourth, unselected one.
    W().ListBox1->item(0)->setSelected(true);
    W().ListBox1->item(1)->setSelected(true);
    W().ListBox1->item(2)->setSelected(true);
    W().ListBox1->setCurrentRow(3, QItemSelectionModel::NoUpdate);
    QCOMPARE(W().ListBox1->selectedItems().size(), 3);
    W().Button2->click();
    QCOMPARE(W().ListBox1->Paths(), QStringList({"/m/one", "/m/two", "/m/three"}));
    QCOMPARE(W().ListBox1->selectedItems().size(), 3);
    // The current item in the middle.
    W().ListBox1->setCurrentRow(1, QItemSelectionModel::NoUpdate);
    W().Button2->click();
    QCOMPARE(W().ListBox1->Paths(), QStringList({"/m/one", "/m/three"}));
    QVERIFY(boxes_.boxes.isEmpty());
  }

  void removeSelectsByKeyboardAndMouse() {
    for (const char* p : {"/k/one", "/k/two", "/k/three"}) W().ListBox1->addItem(p);
    W().ListBox1->setFocus();
    QTest::keyClick(W().ListBox1, Qt::Key_Down);
    QTest::keyClick(W().ListBox1, Qt::Key_Down);
    QVERIFY(W().ListBox1->currentRow() >= 1);
    const QString current = W().ListBox1->currentItem()->text();
    W().Button2->click();
    QCOMPARE(W().ListBox1->count(), 2);
    QVERIFY(!W().ListBox1->Paths().contains(current));
    // A Ctrl-click selection of several items.
    const QRect first = W().ListBox1->visualItemRect(W().ListBox1->item(0));
    const QRect second = W().ListBox1->visualItemRect(W().ListBox1->item(1));
    QTest::mouseClick(W().ListBox1->viewport(), Qt::LeftButton, {}, first.center());
    QTest::mouseClick(W().ListBox1->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      second.center());
    QCOMPARE(W().ListBox1->selectedItems().size(), 2);
    QCOMPARE(W().ListBox1->currentRow(), 1);
  }

  void removeAndClearOnEmptyList() {
    W().Button2->click();
    W().Button3->click();
    QCOMPARE(W().ListBox1->count(), 0);
    QVERIFY(boxes_.boxes.isEmpty());
  }

  void clear() {
    for (const char* p : {"/c/one", "/c/two", "/c/three"}) W().ListBox1->addItem(p);
    W().ListBox1->item(1)->setSelected(true);
    W().Button3->click();
    QCOMPARE(W().ListBox1->count(), 0);
  }

  // --- output folder picker ---

  void pickOutputFolder() {
    const QString out = Make("out/表");
    W().Edit1->setText("typed");
    AnswerPicker(W().FolderBrowseDialog2, QString());  // cancel
    W().Button4->click();
    QCOMPARE(W().Edit1->text(), QString("typed"));
    AnswerPicker(W().FolderBrowseDialog2, out);
    W().Button4->click();
    QCOMPARE(W().Edit1->text(), out + "/");
    AnswerPicker(W().FolderBrowseDialog2, "/");
    W().Button4->click();
    QCOMPARE(W().Edit1->text(), QString("/"));  // the root stays single
  }

  // --- the real message boxes behind the seam ---

  void realMessageBoxes() {
    struct Case {
      MessageKind kind;
      QMessageBox::Icon icon;
      QString caption;
    };
    const Case cases[] = {{MessageKind::kWarning, QMessageBox::Warning, "警告"},
                          {MessageKind::kInformation, QMessageBox::Information, "情報"},
                          {MessageKind::kError, QMessageBox::Critical, "Pelmorix Converter"}};
    for (const Case& c : cases) {
      QCOMPARE(CaptionOf(c.kind), c.caption);
      QString title, text, button;
      QMessageBox::Icon icon = QMessageBox::NoIcon;
      int buttons = 0;
      QTimer::singleShot(0, this, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        buttons = box->buttons().size();
        button = box->buttons().value(0)->text();
        QTest::keyClick(box, Qt::Key_Escape);  // Esc closes it like OK
      });
      TMessageBoxes().Show(w_.get(), c.kind, CaptionOf(c.kind),
                           "/data は\n\r既に登録されています。");
      QCOMPARE(title, c.caption);
      QCOMPARE(icon, c.icon);
      QCOMPARE(buttons, 1);
      QCOMPARE(button, QString("OK"));
      // Shown as two lines, as the Windows box shows line feed + carriage return.
      QCOMPARE(text, QString("/data は\n既に登録されています。"));
    }
  }

  // --- about box ---

  void aboutBox() {
    for (int round = 0; round < 2; ++round) {  // the same texts both times
      QStringList seen;
      QTimer::singleShot(0, this, [&] {
        auto* dlg = qobject_cast<TdlgAbout*>(QApplication::activeModalWidget());
        QVERIFY(dlg);
        seen << dlg->windowTitle() << dlg->Label1->text() << dlg->lblVersion->text()
             << dlg->Button1->text();
        QCOMPARE(dlg->parentWidget(), w_.get());
        QCOMPARE(dlg->size(), QSize(361, TdlgAbout::kClientHeight));
        QCOMPARE(dlg->minimumSize(), dlg->maximumSize());
        QCOMPARE(dlg->Image2->geometry(), QRect(64, 16, 32, 32));
        QCOMPARE(dlg->Label1->pos(), QPoint(104, 16));
        QCOMPARE(dlg->lblVersion->pos(), QPoint(104, 32));
        QCOMPARE(dlg->Button1->geometry(), QRect(144, 152, 75, 21));
        QVERIFY(dlg->Button1->isDefault());
        QVERIFY(!(dlg->windowFlags() & Qt::WindowMaximizeButtonHint));
        QTest::keyClick(dlg, round == 0 ? Qt::Key_Escape : Qt::Key_Return);
      });
      W().A1->trigger();
      QCOMPARE(seen,
               QStringList({"バージョン情報", "Pelmorix Converter", "Version 2.0.2.105", "OK"}));
      QVERIFY(!QApplication::activeModalWidget());
    }
    QVERIFY(W().findChildren<TdlgAbout*>().isEmpty());  // released after use
  }

  void aboutBoxOkButton() {
    TdlgAbout dlg(w_.get());
    QTimer::singleShot(0, &dlg, [&] { dlg.Button1->click(); });
    QCOMPARE(dlg.exec(), int(QDialog::Accepted));
  }

  void aboutBoxContactLines() {
    {
      // The shipped build leaves both lines out with their captions.
      TdlgAbout dlg(w_.get(), QString(), QString());
      QVERIFY(!dlg.Label6 && !dlg.Label4 && !dlg.Label7 && !dlg.Label5);
      QVERIFY(!dlg.findChild<QLabel*>("Label7") && !dlg.findChild<QLabel*>("Label5"));
    }
    TdlgAbout dlg(w_.get(), "https://pelmora.example.org/", "info@pelmora.example.org");
    QCOMPARE(dlg.Label7->text(), QString("URL"));
    QCOMPARE(dlg.Label7->pos(), QPoint(104, 112));
    QCOMPARE(dlg.Label5->text(), QString("E-MAIL"));
    QCOMPARE(dlg.Label5->pos(), QPoint(104, 128));
    QCOMPARE(dlg.Label6->text(), QString("https://pelmora.example.org/"));
    QCOMPARE(dlg.Label6->pos(), QPoint(152, 112));
    QCOMPARE(dlg.Label4->text(), QString("info@pelmora.example.org"));
    QCOMPARE(dlg.Label4->pos(), QPoint(152, 128));
    for (QLabel* link : {static_cast<QLabel*>(dlg.Label6), static_cast<QLabel*>(dlg.Label4)}) {
      QVERIFY(link->font().underline());
      QCOMPARE(link->palette().color(QPalette::WindowText), QColor(Qt::blue));
      QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
    }
    dlg.show();
    QTest::mouseClick(dlg.Label6, Qt::LeftButton);
    QTest::mouseClick(dlg.Label4, Qt::LeftButton);
    QCOMPARE(urls_.urls, QList<QUrl>({QUrl("https://pelmora.example.org/"),
                                      QUrl("mailto:info@pelmora.example.org")}));
  }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
