#include "folder_browse_dialog.hpp"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QStandardPaths>
#include <QWidget>

namespace pelmora::gui {

namespace {

// The root folder of a root style on Linux, or empty for the whole tree.
QString RootFolder(TFolderBrowseDialog::TRootStyle style) {
  switch (style) {
    case TFolderBrowseDialog::rsPersonal:
      return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    case TFolderBrowseDialog::rsDeskTop:
    case TFolderBrowseDialog::rsDeskTopDirectory:
      return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    default:
      return QString();
  }
}

// The path as the picker returns it: absolute, "/" separators, no trailing
// "/" except for the root.
QString CleanFolderPath(const QString& path) {
  return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

}  // namespace

TFolderBrowseDialog::TFolderBrowseDialog(QWidget* owner) : QObject(owner), owner_(owner) {
  FolderName.clear();
  DisplayName.clear();
  Title = QStringLiteral("フォルダの選択");
  Options = DefaultOptions();
  RootStyle = rsNone;
}

bool TFolderBrowseDialog::Execute() {
  QFileDialog dialog(owner_, Title);
  dialog.setObjectName(QStringLiteral("FolderBrowseDialog"));
  // Qt's own chooser on every desktop: it has the editable path field and the
  // status line of the contract, and tests can answer it.
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  if (Options & bfBrowseIncludeFiles) {
    dialog.setFileMode(QFileDialog::AnyFile);
  } else {
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
  }
  dialog.setWindowModality(Qt::ApplicationModal);
  dialog.resize(700, 440);
  dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("場所:"));
  dialog.setLabelText(QFileDialog::FileName, QStringLiteral("フォルダ:"));
  dialog.setLabelText(QFileDialog::FileType, QStringLiteral("種類:"));
  dialog.setLabelText(QFileDialog::Accept, QStringLiteral("OK"));
  dialog.setLabelText(QFileDialog::Reject, QStringLiteral("キャンセル"));

  // Root of the tree (the sidebar starts there) and the folder it opens on.
  const QString root = RootFolder(RootStyle);
  if (!root.isEmpty() && QFileInfo(root).isDir()) {
    dialog.setSidebarUrls({QUrl::fromLocalFile(root)});
    dialog.setDirectory(root);
  }
  if (!FolderName.isEmpty() && QFileInfo(FolderName).isDir()) {
    // BFFM_INITIALIZED: open on the folder chosen last. The folder itself is
    // selected, so OK at once confirms it again.
    const QFileInfo info(FolderName);
    if (info.isRoot()) {
      dialog.setDirectory(FolderName);
    } else {
      dialog.setDirectory(info.absolutePath());
      dialog.selectFile(info.fileName());
    }
  }

  // The status line: the full path of the selected folder.
  if (Options & bfStatusText) {
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
      auto* status = new QLabel(&dialog);
      status->setObjectName(QStringLiteral("StatusText"));
      status->setTextInteractionFlags(Qt::TextSelectableByMouse);
      grid->addWidget(status, grid->rowCount(), 0, 1, grid->columnCount());
      auto update = [status](const QString& path) {
        // A path that is no folder (a typed fragment) empties the line.
        const QString shown =
            (!path.isEmpty() && QFileInfo(path).isDir()) ? CleanFolderPath(path) : QString();
        status->setText(shown);
      };
      QObject::connect(&dialog, &QFileDialog::currentChanged, status, update);
      QObject::connect(&dialog, &QFileDialog::directoryEntered, status, update);
      const QStringList initial = dialog.selectedFiles();
      update(initial.isEmpty() ? dialog.directory().absolutePath() : initial.first());
    }
  }

  active_ = &dialog;
  emit Opened(&dialog);
  const int result = dialog.exec();
  active_ = nullptr;
  if (result != QDialog::Accepted) return false;  // FolderName stays as it was

  const QStringList files = dialog.selectedFiles();
  if (!files.isEmpty()) {
    const QString chosen = CleanFolderPath(files.first());
    if (QFileInfo(chosen).exists()) {
      FolderName = chosen;
      const QString name = QFileInfo(chosen).fileName();
      DisplayName = name.isEmpty() ? chosen : name;
    }
  }
  return true;
}

}  // namespace pelmora::gui
