#include "per_layer_names.hpp"

#include <string_view>

#include "console_io.hpp"
#include "core/platform/files.hpp"

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

// Whether a and b are the same text, ASCII letters compared without case.
bool SameLetters(std::string_view a, std::string_view b) {
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

bool EndsWithLetters(std::string_view text, std::string_view end) {
  return text.size() > end.size() && SameLetters(text.substr(text.size() - end.size()), end);
}

}  // namespace

std::string PerLayerFileProblem(const std::string& output, const std::string& format_given,
                                const std::vector<std::string>& folders) {
  for (const PerLayerFormat& per_layer : kPerLayerFormats) {
    if (!EndsWithLetters(output, per_layer.extension)) continue;
    if (!format_given.empty() && !SameLetters(format_given, per_layer.format)) return {};
    // Paths are UTF-8 text, looked at through the core's platform layer.
    if (platform::KindOf(output) == platform::PathKind::kFolder) return {};
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
