#include "source_areas.hpp"

#include <algorithm>

namespace pelmora::gdal_driver {

InputDescription DescribeSources(const std::vector<SourceFolder>& folders) {
  std::vector<std::string> map_folders;
  for (const SourceFolder& folder : folders) map_folders.push_back(folder.map_folder);
  InputDescription input = DescribeInput(map_folders);
  std::erase_if(input.areas, [&](const AreaDescription& area) {
    const std::optional<std::string>& only = folders[area.folder_index].only_area;
    return only && area.name != *only;
  });
  return input;
}

bool HasInputFile(const LayerDef& layer, const InputDescription& input) {
  return std::any_of(input.areas.begin(), input.areas.end(), [&](const AreaDescription& area) {
    return area.Find(layer.kind == LayerKind::kFrame ? area.SheetFile()
                                                     : std::string(layer.input_path)) != nullptr;
  });
}

}  // namespace pelmora::gdal_driver
