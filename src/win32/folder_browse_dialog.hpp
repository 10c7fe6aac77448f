#pragma once
// TFolderBrowseDialog: the shell's folder picker (SHBrowseForFolderW) as a
// small component that reopens on the folder chosen last and keeps the
// picker's status line on the full path of the selected folder. Paths are
// UTF-8.
#include <windows.h>
// (the headers below need windows.h first)
#include <shlobj.h>

#include <string>

namespace pelmora::win32 {

// The picker options (BROWSEINFO ulFlags), as TBrowseOption names them.
enum BrowseOption : UINT {
  bfBrowseForComputer = BIF_BROWSEFORCOMPUTER,
  bfBrowseForPrinter = BIF_BROWSEFORPRINTER,
  bfBrowseIncludeFiles = BIF_BROWSEINCLUDEFILES,
  bfDontGobelowDomain = BIF_DONTGOBELOWDOMAIN,
  bfEditBox = BIF_EDITBOX,
  bfReturnFsancestors = BIF_RETURNFSANCESTORS,
  bfReturnNonLyfsDirs = BIF_RETURNONLYFSDIRS,
  bfStatusText = BIF_STATUSTEXT,
  bfValidate = BIF_VALIDATE,
};

// The default set: an edit box, file-system ancestors and folders only, and
// a status line (0x001D).
inline constexpr UINT kDefaultBrowseOptions =
    bfEditBox | bfReturnFsancestors | bfReturnNonLyfsDirs | bfStatusText;
// No root: the whole namespace from the desktop.
inline constexpr int rsNone = -1;

class TFolderBrowseDialog {
 public:
  std::string FolderName;   // the path chosen last; the next Execute opens on it
  std::string DisplayName;  // the shell's display name of the item chosen last
  std::string Title = "フォルダの選択";
  UINT Options = kDefaultBrowseOptions;
  int RootStyle = rsNone;  // a CSIDL value, or rsNone

  // Shows the picker modally over owner; true when the user confirmed an
  // item (FolderName then holds its path when it has one).
  bool Execute(HWND owner);

 private:
  static int CALLBACK BrowseCallback(HWND picker, UINT message, LPARAM param, LPARAM data);
};

}  // namespace pelmora::win32
