// The output format in the window: its menu of the format table, the label
// beside the output folder, the polygon mode that follows the format, the
// picker that asks for a file for a one-file format, and a GeoPackage run.
#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "core/conversion/output_check.hpp"
#include "core/conversion/output_formats.hpp"
#include "folder_list.hpp"
#include "gui_test_support.hpp"
#include "main_window.hpp"
#include "save_file_dialog.hpp"
#ifdef PELMORA_WITH_GDAL
#include "gdal/gdal_formats.hpp"
#endif

using namespace pelmora::gui;
using pelmora::gui::test::AnswerPicker;
using pelmora::gui::test::RecordingBoxes;

namespace {

QString Name(const pelmora::OutputFormat& format) {
  return QString::fromUtf8(format.name.data(), static_cast<qsizetype>(format.name.size()));
}

// The first format of the table that writes one file for the whole run
// (GeoPackage when built with GDAL); null when there is none.
const pelmora::OutputFormat* OneFileFormat() {
  for (const pelmora::OutputFormat& format : pelmora::OutputFormats()) {
    if (format.open_file) return &format;
  }
  return nullptr;
}

}  // namespace

class OutputFormatWindowTest : public pelmora::gui::test::WindowTest {
  Q_OBJECT

 private:
  QAction* FormatItem(const QString& name) {
    for (QAction* item : W().T1->actions()) {
      if (item->data().toString() == name) return item;
    }
    return nullptr;
  }

  QString Checked() {
    QAction* item = W().FormatActions->checkedAction();
    return item ? item->data().toString() : QString();
  }

 private slots:
  void initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
#ifdef PELMORA_WITH_GDAL
    pelmora::gdal::RegisterGdalFormats();
#endif
  }

  void init() {
    QVERIFY(OpenTestWindow(w_, dir_.filePath("placement.INI"), boxes_));
  }

  void cleanup() {
    w_.reset();
  }

  void menuListsEveryFormatWithMifChecked() {
    QStringList names;
    for (const pelmora::OutputFormat& format : pelmora::OutputFormats()) names << Name(format);
#ifdef PELMORA_WITH_GDAL
    for (const char* name : {"GPKG", "ESRI Shapefile", "GeoJSON", "FlatGeobuf"})
      QVERIFY2(names.contains(name), name);
#else
    QCOMPARE(names, QStringList({"MIF"}));
#endif
    QCOMPARE(W().T1->title(), QString("出力形式(&T)"));
    QStringList items;
    for (QAction* item : W().T1->actions()) {
      QVERIFY(item->isCheckable());
      QCOMPARE(item->actionGroup(), W().FormatActions);
      items << item->text();
    }
    QCOMPARE(items, names);
    QVERIFY(W().FormatActions->isExclusive());
    QCOMPARE(Checked(), QString("MIF"));
    QCOMPARE(W().Label5->text(), QString("出力形式: MIF"));
    QCOMPARE(W().ReadSettings().format, std::string("MIF"));
    // Between the preview menu and the options, before the help menu.
    const QList<QAction*> bar = W().menuBar()->actions();
    QCOMPARE(bar.indexOf(W().T1->menuAction()) + 1, bar.indexOf(W().O1->menuAction()));
    QCOMPARE(bar.last(), W().H1->menuAction());
    // The label sits beside the output folder, on no other control.
    for (QWidget* other :
         {static_cast<QWidget*>(W().Label3), static_cast<QWidget*>(W().Edit1),
          static_cast<QWidget*>(W().Button4), static_cast<QWidget*>(W().ComboBox1)})
      QVERIFY2(!W().Label5->geometry().intersects(other->geometry()),
               qPrintable(other->objectName()));
    QVERIFY(W().Label5->sizeHint().width() <= W().Label5->width());
  }

  // Every format can be chosen; the polygons follow its default until the
  // user sets them; a new window starts with MIF again.
  void choosingFormatsAndThePolygonMode() {
    for (const pelmora::OutputFormat& format : pelmora::OutputFormats()) {
      FormatItem(Name(format))->trigger();
      QCOMPARE(Checked(), Name(format));
      QCOMPARE(W().Label5->text(), "出力形式: " + Name(format));
      QCOMPARE(W().ReadSettings().format, std::string(format.name));
      QCOMPARE(W().P1->isChecked(), format.name != "MIF");
      QCOMPARE(W().ReadSettings().polygons, pelmora::DefaultPolygonMode(format));
      // The captions that say "MIF" say it for MIF only, and are not clipped.
      const bool mif = format.name == "MIF";
      for (QLabel* label : {W().Label2, W().Label3}) {
        QCOMPARE(label->text().contains("MIF"), mif);
        QVERIFY(label->width() >= label->fontMetrics().horizontalAdvance(label->text()));
        QVERIFY(!label->geometry().intersects(W().Label5->geometry()));
      }
      QCOMPARE(W().FolderBrowseDialog2->Title.contains("MIF"), mif);
    }

    QVERIFY(!W().SetOutputFormat("KML"));
    FormatItem("MIF")->trigger();
    QCOMPARE(W().Label2->text(), QString("MIFに記録する座標系"));  // as specified again
    QCOMPARE(W().Label3->text(), QString("MIFの出力先フォルダ"));
    W().P1->trigger();  // the user's choice: assembled, also for MIF
    for (const pelmora::OutputFormat& format : pelmora::OutputFormats()) {
      FormatItem(Name(format))->trigger();
      QVERIFY2(W().P1->isChecked(), format.name.data());
    }
    w_.reset();
    QVERIFY(OpenTestWindow(w_, dir_.filePath("placement.INI"), boxes_));
    QCOMPARE(Checked(), QString("MIF"));
    QVERIFY(!W().P1->isChecked());
  }

  void oneFileFormatPicksAFile() {
    const pelmora::OutputFormat* one_file = OneFileFormat();
    if (!one_file) QSKIP("no one-file format in this build");
    const QString out = Make("picked");
    const QString ext = QString::fromUtf8(one_file->extension.data());
    W().ListBox1->addItem(sample_);
    W().Edit1->setText(out + "/");
    FormatItem(Name(*one_file))->trigger();
    // The folder chosen stays; the file is named after the first map folder.
    QCOMPARE(W().Edit1->text(), out + "/mapdata" + ext);

    bool saves = false;
    QStringList filters;
    QString proposed;
    AnswerPicker(W().SaveDialog1, out + "/city", [&](QFileDialog* fd) {
      saves = fd->acceptMode() == QFileDialog::AcceptSave;
      filters = fd->nameFilters();
      proposed = fd->selectedFiles().value(0);
    });
    W().Button4->click();
    QVERIFY(saves);
    QCOMPARE(filters, QStringList({Name(*one_file) + " (*" + ext + ")"}));
    QCOMPARE(proposed, out + "/mapdata" + ext);
    QCOMPARE(W().Edit1->text(), out + "/city" + ext);  // the suffix added
    const pelmora::ConversionSettings settings = W().ReadSettings();
    QCOMPARE(QString::fromStdString(settings.output_folder), out + "/");
    QCOMPARE(QString::fromStdString(settings.output_file), "city" + ext);
    AnswerPicker(W().SaveDialog1, QString());  // cancelled: nothing changes
    W().Button4->click();
    QCOMPARE(W().Edit1->text(), out + "/city" + ext);

    // Back to MIF: the file's folder, and the folder picker again.
    FormatItem("MIF")->trigger();
    QCOMPARE(W().Edit1->text(), out + "/");
    QCOMPARE(W().ReadSettings().output_file, std::string());
    const QString other = Make("picked-folder");
    AnswerPicker(W().FolderBrowseDialog2, other);
    W().Button4->click();
    QCOMPARE(W().Edit1->text(), other + "/");
  }

  // What Edit1 becomes when the format changes, and what the run is given.
  void switchingKeepsTheFolder() {
    const pelmora::OutputFormat* one_file = OneFileFormat();
    if (!one_file) QSKIP("no one-file format in this build");
    const QString file = Name(*one_file);
    const QString ext = QString::fromUtf8(one_file->extension.data());
    const QString out = Make("switch");
    struct Case {
      QString from, to, before, after, folder, name;
    };
    const Case cases[] = {
        {"MIF", file, out, out + "/pelmora" + ext, out + "/", "pelmora" + ext},
        {"MIF", file, "", "", "", ""},
        {file, "MIF", out + "/a" + ext, out + "/", out + "/", ""},
        {file, "MIF", out, out, out, ""},  // a folder typed stays as it is
        {file, file, "rel/b" + ext, "rel/b" + ext, "rel/", "b" + ext},
    };
    for (const Case& c : cases) {
      QVERIFY(W().SetOutputFormat(c.from));
      W().Edit1->setText(c.before);
      QVERIFY(W().SetOutputFormat(c.to));
      const QString label = c.from + " -> " + c.to + ": " + c.before;
      QVERIFY2(W().Edit1->text() == c.after, qPrintable(label + " gave " + W().Edit1->text()));
      const pelmora::ConversionSettings settings = W().ReadSettings();
      QVERIFY2(QString::fromStdString(settings.output_folder) == c.folder, qPrintable(label));
      QVERIFY2(QString::fromStdString(settings.output_file) == c.name, qPrintable(label));
    }
  }

  // The settings check names the one-file format's output, the folder and
  // what is wrong with it.
  void oneFileFormatInAMissingFolder() {
    const pelmora::OutputFormat* one_file = OneFileFormat();
    if (!one_file) QSKIP("no one-file format in this build");
    W().SetOutputFormat(Name(*one_file));
    W().ListBox1->addItem(sample_);
    W().Button5->click();
    W().Edit1->setText(dir_.filePath("no-such-folder/city.gpkg"));
    W().Button7->click();
    QVERIFY(!W().IsConverting());
    QCOMPARE(boxes_.boxes.size(), 1);
    QCOMPARE(boxes_.boxes[0].caption, QString("警告"));
    const std::string label = pelmora::FormatLabel(one_file->name);
    // The window names the folder as it holds it (with or without its "/").
    const QString text = boxes_.boxes[0].text;
    QVERIFY2(text.startsWith(QString::fromStdString(label + "の出力先ファイル「") +
                             dir_.filePath("no-such-folder/city.gpkg") +
                             "」が不正です。\nフォルダ「" + dir_.filePath("no-such-folder")),
             qPrintable(text));
    QVERIFY2(text.endsWith("」はありません。"), qPrintable(text));
    QCOMPARE(QApplication::focusWidget(), W().Edit1);
  }

  void geoPackageRun() {
#ifndef PELMORA_WITH_GDAL
    QSKIP("built without GDAL");
#else
    const QString out = Make("gpkg-run");
    W().ListBox1->addItem(sample_);
    W().Edit1->setText(out);  // the folder alone: the file gets its proposed name
    W().CheckBox[0]->setChecked(true);
    W().CheckBox[8]->setChecked(true);
    QVERIFY(W().SetOutputFormat("GPKG"));
    QCOMPARE(W().Edit1->text(), out + "/mapdata.gpkg");
    W().Edit1->setText(out);
    W().Button7->click();
    QVERIFY(W().IsConverting());
    QCOMPARE(W().Edit1->text(), out + "/mapdata.gpkg");  // written back as a folder would be
    QVERIFY(!W().FormatActions->isEnabled());
    W().WaitForConversion();
    QVERIFY(W().FormatActions->isEnabled());
    QCOMPARE(boxes_.boxes.size(), 1);
    QCOMPARE(boxes_.boxes[0].kind, MessageKind::kInformation);
    QVERIFY2(boxes_.boxes[0].text.startsWith("変換が終了しました。"),
             qPrintable(boxes_.boxes[0].text));
    // One GeoPackage and nothing else: no MIF, no temporary file left.
    QCOMPARE(QDir(out).entryList(QDir::Files | QDir::Hidden), QStringList({"mapdata.gpkg"}));
    QFile gpkg(out + "/mapdata.gpkg");
    QVERIFY(gpkg.open(QIODevice::ReadOnly));
    QCOMPARE(gpkg.read(16), QByteArray("SQLite format 3\0", 16));
    QVERIFY(gpkg.size() > 4096);
#endif
  }
};

QTEST_MAIN(OutputFormatWindowTest)
#include "output_format_window_test.moc"
