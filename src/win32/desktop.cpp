#include "desktop.hpp"

#include <commdlg.h>
#include <shellapi.h>

#include "core/platform/windows/wide_path.hpp"
#include "folder_browse_dialog.hpp"

namespace pelmora::win32 {

using platform::Narrow;
using platform::Widen;

namespace {

UINT BoxStyle(window::MessageKind kind) {
  switch (kind) {
    case window::MessageKind::kWarning:
      return MB_OK | MB_ICONWARNING;
    case window::MessageKind::kInformation:
      return MB_OK | MB_ICONINFORMATION;
    case window::MessageKind::kQuestion:
      return MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2;
    case window::MessageKind::kError:
      break;
  }
  return MB_OK | MB_ICONERROR;
}

}  // namespace

void TDesktop::ShowMessage(HWND owner, window::MessageKind kind, const std::string& text) {
  MessageBoxW(owner, Widen(text).c_str(), Widen(window::BoxCaption(kind)).c_str(), BoxStyle(kind));
}

bool TDesktop::Ask(HWND owner, const std::string& text) {
  const window::MessageKind kind = window::MessageKind::kQuestion;
  return MessageBoxW(owner, Widen(text).c_str(), Widen(window::BoxCaption(kind)).c_str(),
                     BoxStyle(kind)) == IDYES;
}

std::optional<std::string> TDesktop::PickFolder(HWND owner, TFolderBrowseDialog& dialog) {
  if (!dialog.Execute(owner)) return std::nullopt;
  return dialog.FolderName;
}

std::optional<std::string> TDesktop::PickFile(HWND owner,
                                              const window::FilePickerRequest& request) {
  // The filter: its text, a zero, the pattern, two zeros.
  std::wstring filter = Widen(request.filter);
  filter += L'\0';
  filter += L"*." + Widen(request.suffix);
  filter += L'\0';
  filter += L'\0';
  std::wstring file = Widen(request.file_name);
  file.resize(32768, L'\0');
  const std::wstring title = Widen(request.title);
  const std::wstring suffix = Widen(request.suffix);
  OPENFILENAMEW request_box{};
  request_box.lStructSize = sizeof request_box;
  request_box.hwndOwner = owner;
  request_box.lpstrFilter = filter.c_str();
  request_box.lpstrFile = file.data();
  request_box.nMaxFile = static_cast<DWORD>(file.size());
  request_box.lpstrTitle = title.c_str();
  request_box.lpstrDefExt = suffix.empty() ? nullptr : suffix.c_str();
  request_box.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
  if (!GetSaveFileNameW(&request_box)) return std::nullopt;
  return Narrow(file.c_str());
}

void TDesktop::Open(const std::string& target) {
  ShellExecuteW(nullptr, L"open", Widen(target).c_str(), nullptr, nullptr, SW_SHOW);
}

}  // namespace pelmora::win32
