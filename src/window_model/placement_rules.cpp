#include "placement_rules.hpp"

#include <climits>
#include <cstdint>

#include "folder_rules.hpp"

namespace pelmora::window {

namespace {

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 99;
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

int ReadInt(TProfile& profile, std::string_view key, int def) {
  const std::optional<std::string> text = profile.Read(kPlacementSection, key);
  if (!text) return def;
  return ParseProfileInt(*text).value_or(def);
}

size_t LastSeparatorOrColon(std::string_view path) {
  for (size_t i = path.size(); i > 0; --i) {
    const char c = path[i - 1];
#ifdef _WIN32
    if (c == ':') return i - 1;
#endif
    if (IsPathSeparator(c)) return i - 1;
  }
  return std::string_view::npos;
}

}  // namespace

std::optional<int> ParseProfileInt(std::string_view text) {
  std::string_view t = Trimmed(text);
  bool negative = false;
  if (!t.empty() && (t.front() == '-' || t.front() == '+')) {
    negative = t.front() == '-';
    t.remove_prefix(1);
  }
  int base = 10;
  if (t.substr(0, 2) == "0x" || t.substr(0, 2) == "0X") {
    base = 16;
    t.remove_prefix(2);
  } else if (!t.empty() && t.front() == '$') {
    base = 16;
    t.remove_prefix(1);
  }
  if (t.empty()) return std::nullopt;
  uint64_t value = 0;
  for (char c : t) {  // digits only: no blanks, signs or prefixes inside
    const int digit = DigitValue(c);
    if (digit >= base) return std::nullopt;
    value = value * base + digit;
    if (value > 0xFFFFFFFFull) return std::nullopt;
  }
  if (base == 16 && !negative) {
    return static_cast<int>(static_cast<uint32_t>(value));  // "$FFFFFFFF" is -1
  }
  const int64_t signed_value =
      negative ? -static_cast<int64_t>(value) : static_cast<int64_t>(value);
  if (signed_value < INT_MIN || signed_value > INT_MAX) return std::nullopt;
  return static_cast<int>(signed_value);
}

WindowPlacement LoadFormPlacement(TProfile& profile) {
  WindowPlacement placement;
  placement.left = ReadInt(profile, "Left", 20);
  placement.top = ReadInt(profile, "Top", 20);
  placement.width = ReadInt(profile, "Width", 700);
  placement.height = ReadInt(profile, "Height", 500);
  switch (ReadInt(profile, "State", 0)) {
    case 1:
      placement.state = WindowState::kMaximised;
      break;
    case 2:
      placement.state = WindowState::kMinimised;
      break;
    default:
      placement.state = WindowState::kNormal;
      break;
  }
  return placement;
}

bool SaveFormPlacement(const WindowPlacement& placement, TProfile& profile) {
  auto write = [&](std::string_view key, int value) {
    return profile.Write(kPlacementSection, key, std::to_string(value));
  };
  if (placement.state == WindowState::kNormal) {
    if (!write("Left", placement.left) || !write("Top", placement.top) ||
        !write("Width", placement.width) || !write("Height", placement.height)) {
      return false;
    }
  }
  return write("State", static_cast<int>(placement.state));
}

std::string ExtractFolder(std::string_view path) {
  const size_t last = LastSeparatorOrColon(path);
  if (last == std::string_view::npos) return {};
  return WithTrailingSeparator(std::string(path.substr(0, last + 1)));
}

std::string ExtractBaseName(std::string_view path) {
  const size_t last = LastSeparatorOrColon(path);
  const std::string_view name = last == std::string_view::npos ? path : path.substr(last + 1);
  const size_t dot = name.rfind('.');
  return std::string(dot == std::string_view::npos ? name : name.substr(0, dot));
}

std::string SettingsFileName(std::string_view program_path) {
  return ExtractBaseName(program_path) + ".INI";
}

std::string SettingsFilePath(std::string_view program_path, bool program_folder_writable,
                             std::string_view user_folder) {
  const std::string folder = program_folder_writable
                                 ? ExtractFolder(program_path)
                                 : WithTrailingSeparator(std::string(user_folder));
  return folder + SettingsFileName(program_path);
}

std::string SettingsWriteMessage(std::string_view settings_file) {
  return std::string(settings_file) + " に書き込めません";
}

}  // namespace pelmora::window
