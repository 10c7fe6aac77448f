#pragma once
// TSaveFileDialog, the picker of an output file (the one file of a format
// such as GeoPackage that holds every layer). Like TFolderBrowseDialog it is
// a small component over Qt's own file chooser: modal over its owner, and
// answerable by tests through Opened.
#include <QObject>
#include <QString>

class QFileDialog;
class QWidget;

namespace pelmora::gui {

class TSaveFileDialog : public QObject {
  Q_OBJECT
 public:
  // owner: the window the picker is modal over; it also frees the component.
  explicit TSaveFileDialog(QWidget* owner);

  // Shows the picker modally, opened on FileName (its folder, its name
  // proposed). True when the user confirmed a file: FileName then holds its
  // absolute path, with Suffix added when the name typed has no suffix.
  // False on cancel: FileName keeps its value.
  bool Execute();

  QString FileName;
  QString Title = QStringLiteral("ファイルの選択");
  QString Filter;  // Qt's name filter, e.g. "GPKG (*.gpkg)"
  QString Suffix;  // without the dot, e.g. "gpkg"

 signals:
  // Emitted once the picker is set up and about to be shown modally.
  void Opened(QFileDialog* dialog);

 private:
  QWidget* owner_;
};

}  // namespace pelmora::gui
