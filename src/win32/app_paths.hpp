#pragma once
// The program's own folder, its guide and settings file, the window's
// placement in that file, and its version (QrSysUtils on Windows): the
// profile functions (GetPrivateProfileStringW, WritePrivateProfileStringW)
// and the version resource (GetFileVersionInfoW) behind the window model's
// rules. Paths are UTF-8.
#include <windows.h>

#include <optional>
#include <string>

#include "placement_rules.hpp"

namespace pelmora::win32 {

// The full path of the running program's file.
std::string ProgramPath();
// Its folder, ending with "\".
std::string GetAppFolder();
// The user guide beside the program.
std::string HelpFilePath();

// Whether a file can be created in folder (ending with "\"): a probe file
// made and deleted at once.
bool FolderWritable(const std::string& folder);
// %APPDATA%\Pelmora\ (empty when the system names no such folder).
std::string UserSettingsFolder();
// The settings file: beside the program when its folder can be written,
// otherwise in UserSettingsFolder(), so that an install under Program Files
// can still keep the window's place.
std::string SettingsFilePath();

// A profile (INI) file through the platform's profile functions. Writing
// creates the file's folder when it is missing.
class TIniProfile : public window::TProfile {
 public:
  explicit TIniProfile(std::string path) : path_(std::move(path)) {}
  std::optional<std::string> Read(std::string_view section, std::string_view key) override;
  bool Write(std::string_view section, std::string_view key, std::string_view value) override;

 private:
  std::string path_;
};

// The placement stored in the settings file.
window::WindowPlacement LoadFormPlacement(const std::string& settings_file);
// Writes the window's position (normal state only) and state; a window that
// is not in the normal state is hidden and restored first. False when the
// file cannot be written.
bool SaveFormPlacement(HWND window, const std::string& settings_file);

// The FileVersion of the block "041103A4" of a program file's version
// resource; nothing when it has none.
std::optional<std::string> FileVersionOf(const std::string& program_file);
// Sets version to the running program's file version; leaves it as it was
// when the program carries none.
void GetAppVersion(std::string& version);

}  // namespace pelmora::win32
