#include "layer_units.hpp"

#include <algorithm>
#include <map>
#include <numeric>
#include <string_view>

namespace pelmora {
namespace {

// The files a layer reads in every area. The frame layer reads a file named
// after the area, which no other layer reads.
std::vector<std::string_view> FilesRead(const LayerDef& layer) {
  std::vector<std::string_view> files;
  for (std::string_view path : {layer.input_path, layer.arc_path, layer.attribute_path}) {
    if (!path.empty() && std::find(files.begin(), files.end(), path) == files.end()) {
      files.push_back(path);
    }
  }
  return files;
}

// Union-find over layer indexes; the root of a set is its smallest index.
class Sets {
 public:
  explicit Sets(size_t count) : parent_(count) { std::iota(parent_.begin(), parent_.end(), 0); }
  size_t Root(size_t i) {
    while (parent_[i] != i) i = parent_[i] = parent_[parent_[i]];
    return i;
  }
  void Join(size_t a, size_t b) {
    a = Root(a), b = Root(b);
    if (a != b) parent_[std::max(a, b)] = std::min(a, b);
  }

 private:
  std::vector<size_t> parent_;
};

}  // namespace

std::vector<LayerUnit> GroupLayersBySharedFiles(std::span<const LayerDef* const> layers,
                                                size_t min_readers) {
  Sets sets(layers.size());
  std::map<std::string_view, std::vector<size_t>> readers;  // file -> layers reading it
  for (size_t i = 0; i < layers.size(); ++i) {
    for (std::string_view file : FilesRead(*layers[i])) readers[file].push_back(i);
  }
  for (const auto& [file, indexes] : readers) {
    if (indexes.size() < min_readers) continue;
    for (size_t i : indexes) sets.Join(indexes.front(), i);
  }

  std::vector<LayerUnit> units;
  std::vector<size_t> unit_of_root(layers.size(), SIZE_MAX);
  for (size_t i = 0; i < layers.size(); ++i) {
    size_t& unit = unit_of_root[sets.Root(i)];
    if (unit == SIZE_MAX) {
      unit = units.size();
      units.emplace_back();
    }
    units[unit].layers.push_back(i);
  }
  // A file is shared by the readers that ended up in one unit.
  for (const auto& [file, indexes] : readers) {
    std::map<size_t, size_t> readers_per_unit;
    for (size_t i : indexes) ++readers_per_unit[unit_of_root[sets.Root(i)]];
    for (const auto& [unit, count] : readers_per_unit) {
      if (count >= 2) units[unit].shared_files.emplace_back(file);
    }
  }
  return units;
}

std::vector<LayerUnit> PlanUnits(std::span<const LayerDef* const> layers, int workers,
                                 bool share_inputs) {
  const size_t min_readers = !share_inputs ? SIZE_MAX : workers > 1 ? 3 : 2;
  return GroupLayersBySharedFiles(layers, min_readers);
}

}  // namespace pelmora
