#include "map_data_check.hpp"

#include <sys/stat.h>

#include "../errors.hpp"
#include "../input/area_folder.hpp"

namespace pelmora {
namespace {

bool IsFolder(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Whether the area holds the file that decides if one of layers takes part.
bool AreaHasInput(const std::string& area_path, const std::string& area,
                  std::span<const LayerDef* const> layers) {
  for (const LayerDef* layer : layers) {
    const std::string relative =
        layer->kind == LayerKind::kFrame ? area + ".txt" : std::string(layer->input_path);
    if (ResolveFile(area_path, relative)) return true;
  }
  return false;
}

bool HoldsInput(const std::string& map_folder, std::span<const LayerDef* const> layers) {
  std::vector<std::string> areas;
  try {
    areas = ListSubfolders(map_folder);
  } catch (const ConversionError&) {
    return false;
  }
  for (const std::string& area : areas) {
    if (AreaHasInput(JoinPath(map_folder, area), area, layers)) return true;
  }
  return false;
}

}  // namespace

MapDataProblem CheckMapData(const std::vector<std::string>& map_folders,
                            std::span<const LayerDef* const> layers) {
  for (const std::string& folder : map_folders) {
    if (!IsFolder(folder)) return {SettingsProblem::kMapFolderMissing, folder};
    if (!HoldsInput(folder, layers)) return {SettingsProblem::kNoMapData, folder};
  }
  return {};
}

}  // namespace pelmora
