#include "app_paths.hpp"

#include <shlobj.h>

#include <vector>

#include "core/platform/windows/wide_path.hpp"

namespace pelmora::win32 {

using platform::Narrow;
using platform::Widen;

std::string ProgramPath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      return Narrow(path);
    }
    path.resize(path.size() * 2);  // the name was cut: a longer buffer
  }
}

std::string GetAppFolder() {
  return window::ExtractFolder(ProgramPath());
}

std::string HelpFilePath() {
  return GetAppFolder() + "Pelmora.html";
}

bool FolderWritable(const std::string& folder) {
  const std::wstring probe =
      Widen(folder) + L"~pelmora-" + std::to_wstring(GetCurrentProcessId()) + L".tmp";
  HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

std::string UserSettingsFolder() {
  wchar_t folder[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder))) {
    return {};
  }
  return Narrow(folder) + "\\Pelmora\\";
}

std::string SettingsFilePath() {
  return window::SettingsFilePath(ProgramPath(), FolderWritable(GetAppFolder()),
                                  UserSettingsFolder());
}

std::optional<std::string> TIniProfile::Read(std::string_view section, std::string_view key) {
  wchar_t value[256] = {};
  GetPrivateProfileStringW(Widen(section).c_str(), Widen(key).c_str(), L"", value, 256,
                           Widen(path_).c_str());
  // An empty value reads as no integer, as a missing one does.
  if (value[0] == L'\0') return std::nullopt;
  return Narrow(value);
}

bool TIniProfile::Write(std::string_view section, std::string_view key, std::string_view value) {
  // The profile functions create the file, not its folder (%APPDATA%\Pelmora\).
  const std::string folder = window::ExtractFolder(path_);
  if (!folder.empty()) CreateDirectoryW(Widen(folder).c_str(), nullptr);
  return WritePrivateProfileStringW(Widen(section).c_str(), Widen(key).c_str(),
                                    Widen(value).c_str(), Widen(path_).c_str()) != FALSE;
}

window::WindowPlacement LoadFormPlacement(const std::string& settings_file) {
  TIniProfile profile(settings_file);
  return window::LoadFormPlacement(profile);
}

bool SaveFormPlacement(HWND window, const std::string& settings_file) {
  window::WindowPlacement placement;
  if (IsIconic(window)) {
    placement.state = window::WindowState::kMinimised;
  } else if (IsZoomed(window)) {
    placement.state = window::WindowState::kMaximised;
  }
  if (placement.state != window::WindowState::kNormal) {
    // Hidden first, so that the restore does not show on the screen.
    ShowWindow(window, SW_HIDE);
    WINDOWPLACEMENT normal{};
    normal.length = sizeof normal;
    GetWindowPlacement(window, &normal);
    normal.showCmd = SW_HIDE;
    SetWindowPlacement(window, &normal);
  } else {
    RECT rect{};
    GetWindowRect(window, &rect);
    placement.left = rect.left;
    placement.top = rect.top;
    placement.width = rect.right - rect.left;
    placement.height = rect.bottom - rect.top;
  }
  TIniProfile profile(settings_file);
  return window::SaveFormPlacement(placement, profile);
}

std::optional<std::string> FileVersionOf(const std::string& program_file) {
  const std::wstring file = Widen(program_file);
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &handle);
  if (size == 0) return std::nullopt;
  std::vector<unsigned char> block(size, 0);
  if (!GetFileVersionInfoW(file.c_str(), 0, size, block.data())) return std::nullopt;
  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(block.data(), L"\\StringFileInfo\\041103A4\\FileVersion", &value, &length) ||
      value == nullptr) {
    return std::nullopt;
  }
  return Narrow(static_cast<const wchar_t*>(value));  // up to its terminating zero
}

void GetAppVersion(std::string& version) {
  if (const auto found = FileVersionOf(ProgramPath())) version = *found;
}

}  // namespace pelmora::win32
