#pragma once
// The rules of the map-data folder list ListBox1 that do not depend on a
// toolkit: path shortening (FitPathToWidth, CutFirstFolder), the
// already-registered test and its warning, and the folder separator.
//
// Paths are UTF-8. On Windows a path has a drive part ("C:") and "\" and "/"
// separate folders; elsewhere "/" is the only separator. Separators are ASCII,
// so a byte search never splits a character.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace pelmora::window {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

bool IsPathSeparator(char c);

// path with a trailing separator, unless it has one already (a drive root
// such as "C:\" stays as it is).
std::string WithTrailingSeparator(std::string path);

// Cuts the first folder off a folder part: "/data/maps/" gives "/.../maps/",
// "/.../maps/" gives "/.../", ".../" gives "", "/" gives "". Only an ellipsis
// folder that an earlier cut left is taken for one: "/.a/x/" gives "/.../x/".
std::string CutFirstFolder(std::string_view folder_part);

// Measures a text in pixels, in the font of the list.
using TextWidth = std::function<int(std::string_view text)>;

// The text to show for path in max_width pixels: leading folders give way to
// ".../" until the text fits or only the name is left. "/data/maps/tokyo"
// becomes "/.../maps/tokyo", "/.../tokyo", ".../tokyo", "tokyo", stopping at
// the first that fits.
std::string FitPathToWidth(std::string_view path, const TextWidth& width, int max_width);

// Whether two folder paths name the same registered folder: letter case
// ignored on Windows, whose file system ignores it; exact elsewhere, where
// /data/Maps and /data/maps are two folders.
bool SameFolder(std::string_view a, std::string_view b);

// The row of folders holding path (SameFolder), or -1.
int IndexOfFolder(const std::vector<std::string>& folders, std::string_view path);

// The warning of a folder already listed: the path, " は", LF, CR,
// "既に登録されています。" (the line feed first).
std::string AlreadyRegisteredMessage(std::string_view path);

}  // namespace pelmora::window
