#include "input_sizes.hpp"

#include <algorithm>
#include <vector>

namespace pelmora {
namespace {

// The key of the map-sheet file, which is named after its area.
constexpr std::string_view kSheetFile = "<area>.txt";

std::string_view InputOf(const LayerDef& layer) {
  return layer.kind == LayerKind::kFrame ? kSheetFile : layer.input_path;
}

bool IsInputOfOne(std::string_view file, std::span<const LayerDef* const> layers) {
  return std::any_of(layers.begin(), layers.end(),
                     [&](const LayerDef* layer) { return InputOf(*layer) == file; });
}

}  // namespace

InputSizes::InputSizes(std::span<const LayerDef* const> layers, const InputDescription& input) {
  std::vector<std::string_view> files;
  for (const LayerDef* layer : layers) {
    for (std::string_view file : {InputOf(*layer), layer->arc_path, layer->attribute_path}) {
      if (!file.empty() && std::find(files.begin(), files.end(), file) == files.end()) {
        files.push_back(file);
      }
    }
  }
  for (const AreaDescription& area : input.areas) {
    bool read = false;
    for (std::string_view file : files) {
      const DescribedFile* found = area.Find(file == kSheetFile ? area.SheetFile() : file);
      if (!found) continue;
      bytes_[std::string(file)] += found->size;
      read = read || IsInputOfOne(file, layers);
    }
    if (read) ++areas_read_;
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
