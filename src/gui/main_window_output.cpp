// Where and in which format the window's run writes: the format menu, the
// format label beside the output folder, the output picker ("参照...", a
// folder for formats that write per layer, a file for one-file formats such
// as GeoPackage) and how the output settings are read from Edit1.
#include <QAction>
#include <QActionGroup>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>

#include "app_paths.hpp"
#include "core/conversion/output_formats.hpp"
#include "folder_browse_dialog.hpp"
#include "folder_list.hpp"
#include "main_window.hpp"
#include "save_file_dialog.hpp"

namespace pelmora::gui {

namespace {

QString Text(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

bool WritesOneFile(const OutputFormat& format) {
  return static_cast<bool>(format.open_file);
}

// The folder of an Edit1 text naming a file, ending with "/".
QString FolderOfFile(const QString& text) {
  QString folder = QFileInfo(text).path();
  if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
  return folder;
}

// Whether an Edit1 text names a folder rather than a file in it.
bool NamesFolder(const QString& text) {
  return text.endsWith(QLatin1Char('/')) || QFileInfo(text).isDir();
}

}  // namespace

void TfrmMain::BuildFormatMenu(QMenuBar* bar) {
  T1 = bar->addMenu(QStringLiteral("出力形式(&T)"));
  T1->setObjectName(QStringLiteral("T1"));
  FormatActions = new QActionGroup(this);
  FormatActions->setExclusive(true);
  for (const OutputFormat& format : OutputFormats()) {
    QAction* item = T1->addAction(Text(format.name));
    item->setObjectName(QStringLiteral("Format_") + Text(format.name));
    item->setData(Text(format.name));
    item->setStatusTip(Text(format.description));
    item->setCheckable(true);
    FormatActions->addAction(item);
  }
  connect(FormatActions, &QActionGroup::triggered, this,
          [this](QAction* item) { SetOutputFormat(item->data().toString()); });
}

const OutputFormat& TfrmMain::CurrentOutputFormat() const {
  const OutputFormat* format = FindOutputFormat(format_name_);
  return format ? *format : *FindOutputFormat("MIF");
}

bool TfrmMain::SetOutputFormat(const QString& name) {
  const OutputFormat* format = FindOutputFormat(name.toStdString());
  if (format == nullptr) return false;
  const bool was_one_file = WritesOneFile(CurrentOutputFormat());
  format_name_ = std::string(format->name);
  for (QAction* item : FormatActions->actions()) {
    item->setChecked(item->data().toString() == Text(format->name));
  }
  Label5->setText(QStringLiteral("出力形式: ") + Text(format->name));
  if (!polygons_chosen_) P1->setChecked(DefaultPolygonMode(*format) == PolygonMode::kAssembled);

  // The folder chosen stays: a file of a one-file format goes into it, and
  // a per-layer format writes into the folder of the file chosen before.
  const QString text = Edit1->text();
  if (text.isEmpty()) return true;
  if (WritesOneFile(*format)) {
    QString folder = text;
    QString base = QFileInfo(DefaultOutputFileName(*format)).completeBaseName();
    if (was_one_file && !NamesFolder(text)) {
      folder = FolderOfFile(text);
      base = QFileInfo(text).completeBaseName();
    } else if (!folder.endsWith(QLatin1Char('/'))) {
      folder += QLatin1Char('/');
    }
    Edit1->setText(folder + base + Text(format->extension));
  } else if (was_one_file && !NamesFolder(text)) {
    Edit1->setText(FolderOfFile(text));
  }
  return true;
}

QString TfrmMain::DefaultOutputFileName(const OutputFormat& format) const {
  // Named after the first map-data folder, which usually names the data set.
  const QStringList folders = ListBox1->Paths();
  QString base =
      folders.isEmpty() ? QString() : QFileInfo(QDir::cleanPath(folders.first())).fileName();
  if (base.isEmpty()) base = QStringLiteral("pelmora");
  return base + Text(format.extension);
}

void TfrmMain::ReadOutputSettings(ConversionSettings& settings) const {
  const OutputFormat& format = CurrentOutputFormat();
  settings.format = std::string(format.name);
  const QString text = Edit1->text();
  settings.output_folder = ToCorePath(text);
  if (!WritesOneFile(format) || text.isEmpty()) return;
  // Edit1 names the file; a folder alone gets the proposed file name, which
  // the run's checks then show in Edit1.
  if (NamesFolder(text)) {
    settings.output_file = ToCorePath(DefaultOutputFileName(format));
  } else {
    settings.output_folder = ToCorePath(FolderOfFile(text));
    settings.output_file = ToCorePath(QFileInfo(text).fileName());
  }
}

void TfrmMain::Button4Click() {
  const OutputFormat& format = CurrentOutputFormat();
  if (WritesOneFile(format)) {
    const QString text = Edit1->text();
    SaveDialog1->Title = QStringLiteral("%1の出力先ファイルの選択").arg(Text(format.name));
    SaveDialog1->Filter = QStringLiteral("%1 (*%2)").arg(Text(format.name), Text(format.extension));
    SaveDialog1->Suffix = Text(format.extension).mid(1);
    if (text.isEmpty()) {
      SaveDialog1->FileName = DefaultOutputFileName(format);
    } else if (NamesFolder(text)) {
      SaveDialog1->FileName = QDir(text).filePath(DefaultOutputFileName(format));
    } else {
      SaveDialog1->FileName = text;
    }
    if (SaveDialog1->Execute()) Edit1->setText(SaveDialog1->FileName);
    return;
  }
  if (!FolderBrowseDialog2->Execute()) return;
  QString path = FolderBrowseDialog2->FolderName;
  if (!path.endsWith(QLatin1Char('/'))) path += QLatin1Char('/');
  Edit1->setText(path);
}

}  // namespace pelmora::gui
