#include "save_file_dialog.hpp"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace pelmora::gui {

TSaveFileDialog::TSaveFileDialog(QWidget* owner) : QObject(owner), owner_(owner) {}

bool TSaveFileDialog::Execute() {
  QFileDialog dialog(owner_, Title);
  dialog.setObjectName(QStringLiteral("SaveFileDialog"));
  // Qt's own chooser, as for the folders: the same look everywhere, and
  // tests can answer it.
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setWindowModality(Qt::ApplicationModal);
  dialog.resize(700, 440);
  if (!Filter.isEmpty()) dialog.setNameFilter(Filter);
  if (!Suffix.isEmpty()) dialog.setDefaultSuffix(Suffix);
  dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("場所:"));
  dialog.setLabelText(QFileDialog::FileName, QStringLiteral("ファイル名:"));
  dialog.setLabelText(QFileDialog::FileType, QStringLiteral("種類:"));
  dialog.setLabelText(QFileDialog::Accept, QStringLiteral("保存"));
  dialog.setLabelText(QFileDialog::Reject, QStringLiteral("キャンセル"));
  if (!FileName.isEmpty()) {
    const QFileInfo info(FileName);
    if (info.dir().exists()) dialog.setDirectory(info.absolutePath());
    dialog.selectFile(info.fileName());
  }

  emit Opened(&dialog);
  if (dialog.exec() != QDialog::Accepted) return false;
  const QStringList files = dialog.selectedFiles();
  if (files.isEmpty()) return false;
  FileName = QDir::cleanPath(QFileInfo(files.first()).absoluteFilePath());
  return true;
}

}  // namespace pelmora::gui
