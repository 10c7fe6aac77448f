#pragma once
// Paths as the program joins them, in the system's form ("\" on Windows,
// "/" elsewhere): what a test expects a message or a description to name
// for a file or folder below one it gave.
#include <filesystem>
#include <string>

namespace pelmora::testing_support {

// folder and relative ("13101/road/road.atr", or "" for the folder with a
// final separator) joined with the system's separator.
inline std::string SystemPath(const std::string& folder, const std::string& relative) {
  const char separator = static_cast<char>(std::filesystem::path::preferred_separator);
  std::string path = folder + separator;
  for (char c : relative) path += c == '/' ? separator : c;
  return path;
}

}  // namespace pelmora::testing_support
