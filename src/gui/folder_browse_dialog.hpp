#pragma once
// TFolderBrowseDialog, a small non-visual component over Qt's folder
// chooser in place of the shell's folder picker. It keeps the picker's
// contract: modal over its owner window, the title as prompt, file-system
// folders only, an editable path, a status line that follows the selection
// with its full path, and it reopens on FolderName while that folder exists.
// Each instance remembers its own last choice for as long as it lives.
#include <QFlags>
#include <QObject>
#include <QString>

class QFileDialog;
class QWidget;

namespace pelmora::gui {

class TFolderBrowseDialog : public QObject {
  Q_OBJECT
 public:
  // The picker options of the shell picker, with their BROWSEINFO flags.
  enum TBrowseOption {
    bfBrowseForComputer = 0x1000,
    bfBrowseForPrinter = 0x2000,
    bfBrowseIncludeFiles = 0x4000,
    bfDontGobelowDomain = 0x0002,
    bfEditBox = 0x0010,
    bfReturnFsancestors = 0x0008,
    bfReturnNonLyfsDirs = 0x0001,
    bfStatusText = 0x0004,
    bfValidate = 0x0020,
  };
  Q_DECLARE_FLAGS(TBrowseOptions, TBrowseOption)

  // The root folder of the tree. On Linux rsPersonal opens the tree at the
  // documents folder and rsDeskTop / rsDeskTopDirectory at the desktop folder;
  // the other special folders do not exist here and give the whole tree.
  enum TRootStyle {
    rsNone,
    rsBitBucket,
    rsControls,
    rsDeskTop,
    rsDeskTopDirectory,
    rsDrives,
    rsFonts,
    rsNetHood,
    rsNetwork,
    rsPersonal,
    rsPrinters,
    rsPrograms,
    rsRecent,
    rsSendTo,
    rsStartMenu,
    rsStartUp,
    rsTemplates,
  };

  static constexpr TBrowseOptions DefaultOptions() {
    return TBrowseOptions(bfEditBox | bfReturnFsancestors | bfReturnNonLyfsDirs | bfStatusText);
  }

  // owner: the window the picker is modal over; it also frees the component.
  explicit TFolderBrowseDialog(QWidget* owner);

  // Shows the picker modally. True when the user confirmed a folder:
  // FolderName then holds its path (no trailing "/" except for the root "/")
  // and DisplayName its name. False on cancel: both keep their values.
  bool Execute();

  QString FolderName;   // the path chosen last; the next Execute opens on it
  QString DisplayName;  // the display name of the folder chosen last
  QString Title = QStringLiteral("フォルダの選択");
  TBrowseOptions Options = DefaultOptions();
  TRootStyle RootStyle = rsNone;

  // The picker while Execute runs (tests answer it through this), else null.
  QFileDialog* ActiveDialog() const { return active_; }

 signals:
  // Emitted once the picker is set up and about to be shown modally.
  void Opened(QFileDialog* dialog);

 private:
  QWidget* owner_;
  QFileDialog* active_ = nullptr;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TFolderBrowseDialog::TBrowseOptions)

}  // namespace pelmora::gui
