#pragma once
// The rules of the main window's placement in the settings file and of the
// program's own paths: the file's name, its section and keys with their
// defaults, the integer forms a profile value may take, which keys a save
// writes, and how a stored state reads. The profile file itself is the
// platform's (GetPrivateProfileStringW on Windows, a small text reader on
// Linux), reached through TProfile.
#include <optional>
#include <string>
#include <string_view>

namespace pelmora::window {

inline constexpr char kPlacementSection[] = "Window";

// The window's place in the states the settings file numbers.
enum class WindowState { kNormal = 0, kMaximised = 1, kMinimised = 2 };

struct WindowPlacement {
  int left = 20;
  int top = 20;
  int width = 700;
  int height = 500;
  WindowState state = WindowState::kNormal;
};

// A profile (INI) file: read a key of a section (nothing when the file, the
// section or the key is missing), write one (false when it cannot be
// written).
class TProfile {
 public:
  virtual ~TProfile() = default;
  virtual std::optional<std::string> Read(std::string_view section, std::string_view key) = 0;
  virtual bool Write(std::string_view section, std::string_view key, std::string_view value) = 0;
};

// A profile integer: signed decimal, or hexadecimal after "0x", "0X" or "$"
// ("$FFFFFFFF" is -1, as on Windows); nothing for any other text.
std::optional<int> ParseProfileInt(std::string_view text);

// The placement stored in profile: every key read in the order Left, Top,
// Width, Height, State, each with its default when missing or no integer; a
// State other than 1 or 2 is the normal state.
WindowPlacement LoadFormPlacement(TProfile& profile);

// Writes placement to profile: Left, Top, Width, Height only for a window in
// the normal state (a maximised or minimised one keeps the last normal-state
// position in the file), then State. False when a write failed; the keys
// after it are not written. The caller hides a window that is not in the
// normal state and sets it to normal first.
bool SaveFormPlacement(const WindowPlacement& placement, TProfile& profile);

// The path's folder part with its trailing separator (empty without one).
std::string ExtractFolder(std::string_view path);
// The path's file name without folder and extension: "archive.tar.gz" gives
// "archive.tar", "README" gives "README".
std::string ExtractBaseName(std::string_view path);
// The settings file's name for the program file program_path: its base name
// followed by ".INI".
std::string SettingsFileName(std::string_view program_path);

// Where the settings file lies: in the program's folder when that folder can
// be written, otherwise in user_folder (on Windows %APPDATA%\Pelmora\), so
// that an install the user cannot write to does not fail at every close.
std::string SettingsFilePath(std::string_view program_path, bool program_folder_writable,
                             std::string_view user_folder);

// "%s に書き込めません": the message of a settings file that cannot be written.
std::string SettingsWriteMessage(std::string_view settings_file);

}  // namespace pelmora::window
