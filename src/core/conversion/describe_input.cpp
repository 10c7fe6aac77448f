// The description of the input made for the layer table: every file that a
// layer of the table reads, whichever groups a run selects, so that one
// listing serves the checks, the sizes and the layers alike.
#include <algorithm>

#include "../input/input_description.hpp"
#include "layer_table.hpp"

namespace pelmora {
namespace {

// The input and companion files of the table's layers, each once, in table
// order; the frame layer's map-sheet file is described on its own.
std::vector<std::string_view> TableFiles() {
  std::vector<std::string_view> files;
  for (const LayerDef& layer : LayerTable()) {
    for (std::string_view file : {layer.input_path, layer.arc_path, layer.attribute_path}) {
      if (!file.empty() && std::find(files.begin(), files.end(), file) == files.end()) {
        files.push_back(file);
      }
    }
  }
  return files;
}

}  // namespace

InputDescription DescribeInput(const std::vector<std::string>& map_folders) {
  static const std::vector<std::string_view> files = TableFiles();
  return DescribeFolders(map_folders, files);
}

}  // namespace pelmora
