#include "input_sizes.hpp"

#include <algorithm>
#include <optional>
#include <vector>

#include "../errors.hpp"
#include "../input/area_folder.hpp"
#include "../platform/files.hpp"

namespace pelmora {
namespace {

// The key of the map-sheet file, which is named after its area.
constexpr std::string_view kSheetFile = "<area>.txt";

std::string_view InputOf(const LayerDef& layer) {
  return layer.kind == LayerKind::kFrame ? kSheetFile : layer.input_path;
}

// The size of the file, or nothing when the area lacks it.
std::optional<uint64_t> FileSize(const std::string& area_path, std::string_view relative) {
  auto path = ResolveFile(area_path, relative);
  if (!path) return std::nullopt;
  return platform::SizeOf(*path).value_or(0);
}

bool IsInputOfOne(std::string_view file, std::span<const LayerDef* const> layers) {
  return std::any_of(layers.begin(), layers.end(),
                     [&](const LayerDef* layer) { return InputOf(*layer) == file; });
}

}  // namespace

InputSizes::InputSizes(std::span<const LayerDef* const> layers,
                       const ConversionSettings& settings) {
  std::vector<std::string_view> files;
  for (const LayerDef* layer : layers) {
    for (std::string_view file : {InputOf(*layer), layer->arc_path, layer->attribute_path}) {
      if (!file.empty() && std::find(files.begin(), files.end(), file) == files.end()) {
        files.push_back(file);
      }
    }
  }
  for (const std::string& map_folder : settings.map_folders) {
    for (const std::string& area : ListSubfoldersOrNone(map_folder)) {
      const std::string area_path = JoinPath(map_folder, area);
      bool read = false;
      for (std::string_view file : files) {
        const std::string relative = file == kSheetFile ? area + ".txt" : std::string(file);
        const std::optional<uint64_t> size = FileSize(area_path, relative);
        if (!size) continue;
        bytes_[std::string(file)] += *size;
        read = read || IsInputOfOne(file, layers);
      }
      if (read) ++areas_read_;
    }
  }
  for (const LayerDef* layer : layers) bytes_to_read_ += Of(InputOf(*layer));
}

uint64_t InputSizes::Of(std::string_view relative) const {
  auto found = bytes_.find(relative);
  return found == bytes_.end() ? 0 : found->second;
}

uint64_t InputSizes::UnitWork(const LayerUnit& unit,
                              std::span<const LayerDef* const> layers) const {
  std::vector<std::string_view> files;
  uint64_t bytes = 0;
  for (size_t i : unit.layers) {
    const LayerDef& layer = *layers[i];
    for (std::string_view file : {InputOf(layer), layer.arc_path, layer.attribute_path}) {
      if (!file.empty() && std::find(files.begin(), files.end(), file) == files.end()) {
        files.push_back(file);
        bytes += Of(file);
      }
    }
    if (!layer.arc_path.empty()) bytes += Of(layer.arc_path);
  }
  return bytes;
}

}  // namespace pelmora
