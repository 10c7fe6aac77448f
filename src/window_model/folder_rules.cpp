#include "folder_rules.hpp"

namespace pelmora::window {

namespace {

constexpr std::string_view kEllipsis = "...";

// Case folding of the Windows file system for the letters users meet in
// folder names: ASCII and the full-width Latin letters (U+FF21..U+FF3A).
std::string FoldCase(std::string_view text) {
  std::string folded;
  folded.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c >= 'A' && c <= 'Z') {
      folded += static_cast<char>(c - 'A' + 'a');
    } else if (c == 0xEF && i + 2 < text.size() &&
               static_cast<unsigned char>(text[i + 1]) == 0xBC &&
               static_cast<unsigned char>(text[i + 2]) >= 0xA1 &&
               static_cast<unsigned char>(text[i + 2]) <= 0xBA) {
      // Ａ..Ｚ (EF BC A1..BA) to ａ..ｚ (EF BD 81..9A).
      folded += '\xEF';
      folded += '\xBD';
      folded += static_cast<char>(static_cast<unsigned char>(text[i + 2]) - 0xA1 + 0x81);
      i += 2;
    } else {
      folded += static_cast<char>(c);
    }
  }
  return folded;
}

size_t FindSeparator(std::string_view text, size_t from = 0) {
  for (size_t i = from; i < text.size(); ++i) {
    if (IsPathSeparator(text[i])) return i;
  }
  return std::string_view::npos;
}

size_t FindLastSeparator(std::string_view text) {
  for (size_t i = text.size(); i > 0; --i) {
    if (IsPathSeparator(text[i - 1])) return i - 1;
  }
  return std::string_view::npos;
}

}  // namespace

bool IsPathSeparator(char c) {
#ifdef _WIN32
  return c == '\\' || c == '/';
#else
  return c == '/';
#endif
}

std::string WithTrailingSeparator(std::string path) {
  if (path.empty() || !IsPathSeparator(path.back())) path += kPathSeparator;
  return path;
}

std::string CutFirstFolder(std::string_view folder_part) {
  std::string s(folder_part);
  // 1. The root alone becomes empty.
  if (s.size() == 1 && IsPathSeparator(s[0])) return {};
  // 2. A leading separator is remembered and removed.
  const bool rooted = !s.empty() && IsPathSeparator(s[0]);
  const char root = rooted ? s[0] : kPathSeparator;
  if (rooted) s.erase(0, 1);
  // 3. The ellipsis folder of an earlier cut goes (a folder that merely
  // begins with "." is a folder like any other).
  if (s.size() >= 4 && std::string_view(s).substr(0, 3) == kEllipsis && IsPathSeparator(s[3])) {
    s.erase(0, 4);
  }
  // 4. The first folder goes; ".../" stands in for it.
  const size_t sep = FindSeparator(s);
  if (sep != std::string::npos) {
    s = std::string(kEllipsis) + kPathSeparator + s.substr(sep + 1);
  } else {
    s.clear();
  }
  // 5. The leading separator comes back.
  if (rooted) s.insert(s.begin(), root);
  return s;
}

std::string FitPathToWidth(std::string_view path, const TextWidth& width, int max_width) {
  std::string result(path);
  const size_t last = FindLastSeparator(path);
  const size_t name_start = last == std::string_view::npos ? 0 : last + 1;
  std::string folder(path.substr(0, name_start));
  const std::string name(path.substr(name_start));
  std::string drive;
#ifdef _WIN32
  if (folder.size() >= 2 && folder[1] == ':') {
    drive = folder.substr(0, 2);
    folder.erase(0, 2);
  }
#endif
  const std::string root_ellipsis =
      std::string(1, kPathSeparator) + std::string(kEllipsis) + std::string(1, kPathSeparator);
  while ((!folder.empty() || !drive.empty()) && width(result) > max_width) {
    if (folder == root_ellipsis) {
      drive.clear();
      folder = std::string(kEllipsis) + kPathSeparator;
    } else if (folder.empty()) {
      drive.clear();
    } else {
      folder = CutFirstFolder(folder);
    }
    result = drive + folder + name;
  }
  return result;
}

bool SameFolder(std::string_view a, std::string_view b) {
#ifdef _WIN32
  return FoldCase(a) == FoldCase(b);
#else
  (void)FoldCase;
  return a == b;
#endif
}

int IndexOfFolder(const std::vector<std::string>& folders, std::string_view path) {
  for (size_t i = 0; i < folders.size(); ++i) {
    if (SameFolder(folders[i], path)) return static_cast<int>(i);
  }
  return -1;
}

std::string AlreadyRegisteredMessage(std::string_view path) {
  std::string text(path);
  text += " は";
  text += '\n';
  text += '\r';
  text += "既に登録されています。";
  return text;
}

}  // namespace pelmora::window
