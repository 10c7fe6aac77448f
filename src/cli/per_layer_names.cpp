#include "per_layer_names.hpp"

#include <strings.h>

#include <filesystem>
#include <string_view>

namespace pelmora::cli {
namespace {

struct PerLayerFormat {
  std::string_view extension, format;
};

constexpr PerLayerFormat kPerLayerFormats[] = {
    {".shp", "ESRI Shapefile"},
    {".geojson", "GeoJSON"},
    {".fgb", "FlatGeobuf"},
};

bool EndsWithLetters(std::string_view text, std::string_view end) {
  return text.size() > end.size() &&
         ::strncasecmp(text.data() + text.size() - end.size(), end.data(), end.size()) == 0;
}

// An argument as a shell takes it back: quoted when it holds a blank or a
// character the shell would read.
std::string ShellWord(const std::string& word) {
  if (word.find_first_of(" \t'\"\\$`*?&|;<>()[]{}!#~") == std::string::npos && !word.empty())
    return word;
  std::string quoted = "'";
  for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

}  // namespace

std::string PerLayerFileProblem(const std::string& output, const std::string& format_given,
                                const std::vector<std::string>& folders) {
  for (const PerLayerFormat& per_layer : kPerLayerFormats) {
    if (!EndsWithLetters(output, per_layer.extension)) continue;
    if (!format_given.empty() &&
        ::strcasecmp(format_given.c_str(), std::string(per_layer.format).c_str()) != 0)
      return {};
    std::error_code error;
    if (std::filesystem::is_directory(output, error)) return {};
    const std::string folder = output.substr(0, output.size() - per_layer.extension.size());
    std::string command = "pelmora-convert -f " + ShellWord(std::string(per_layer.format)) +
                          " -o " + ShellWord(folder);
    for (const std::string& data : folders) command += " " + ShellWord(data);
    return "「" + output + "」は1つのファイルの名前ですが、" + std::string(per_layer.format) +
           " はレイヤーごとに1つのファイル (Doro_Doro_Arc" + std::string(per_layer.extension) +
           " など) をフォルダに書き出します。出力先には既にあるフォルダを指定してください。例:\n "
           " " +
           command;
  }
  return {};
}

}  // namespace pelmora::cli
