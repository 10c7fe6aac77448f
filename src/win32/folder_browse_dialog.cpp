#include "folder_browse_dialog.hpp"

#include "core/platform/windows/wide_path.hpp"

namespace pelmora::win32 {

using platform::Narrow;
using platform::Widen;

namespace {

bool IsExistingFolder(const std::string& path) {
  if (path.empty()) return false;
  const DWORD attributes = GetFileAttributesW(platform::WidePath(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

bool TFolderBrowseDialog::Execute(HWND owner) {
  // The shell's long paths: MAX_PATH characters (wide, so any name fits).
  wchar_t display[MAX_PATH] = {};
  PIDLIST_ABSOLUTE root = nullptr;
  if (RootStyle != rsNone && FAILED(SHGetSpecialFolderLocation(owner, RootStyle, &root))) {
    root = nullptr;  // the whole namespace instead
  }
  const std::wstring title = Widen(Title);
  BROWSEINFOW request{};
  request.hwndOwner = owner;
  request.pidlRoot = root;
  request.pszDisplayName = display;
  request.lpszTitle = title.c_str();
  request.ulFlags = Options;
  request.lpfn = BrowseCallback;
  request.lParam = reinterpret_cast<LPARAM>(this);
  PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&request);
  const bool confirmed = chosen != nullptr;
  if (confirmed) {
    DisplayName = Narrow(display);
    wchar_t path[MAX_PATH] = {};
    // An item without a file-system path keeps the previous FolderName.
    if (SHGetPathFromIDListW(chosen, path)) FolderName = Narrow(path);
    CoTaskMemFree(chosen);
  }
  if (root) CoTaskMemFree(root);
  return confirmed;
}

int CALLBACK TFolderBrowseDialog::BrowseCallback(HWND picker, UINT message, LPARAM param,
                                                 LPARAM data) {
  auto* dialog = reinterpret_cast<TFolderBrowseDialog*>(data);
  wchar_t status[MAX_PATH] = {};
  if (message == BFFM_SELCHANGED) {
    // A virtual item (the network, the control panel) has no path: empty.
    if (!SHGetPathFromIDListW(reinterpret_cast<PCIDLIST_ABSOLUTE>(param), status)) status[0] = 0;
  }
  // Every message sets the status line: emptied when the picker opens, the
  // selected folder's path after each change of selection.
  SendMessageW(picker, BFFM_SETSTATUSTEXTW, 0, reinterpret_cast<LPARAM>(status));
  if (message == BFFM_INITIALIZED && IsExistingFolder(dialog->FolderName)) {
    // Opens on the folder chosen last while it exists. After the status
    // line was emptied: the selection's change shows the folder's path.
    const std::wstring folder = Widen(dialog->FolderName);
    SendMessageW(picker, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(folder.c_str()));
  }
  return 0;
}

}  // namespace pelmora::win32
