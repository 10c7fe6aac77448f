#include "map_data_check.hpp"

#include <set>

#include "../errors.hpp"
#include "../input/area_folder.hpp"
#include "../platform/files.hpp"
#include "sheet_zone.hpp"

namespace pelmora {
namespace {

bool IsFolder(const std::string& path) {
  return !path.empty() && platform::KindOf(path) == platform::PathKind::kFolder;
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
  for (const std::string& area : ListSubfoldersOrNone(map_folder)) {
    if (AreaHasInput(JoinPath(map_folder, area), area, layers)) return true;
  }
  return false;
}

// The path of folder with every link resolved, or empty.
std::string RealPath(const std::string& folder) {
  return platform::CanonicalPath(folder);
}

}  // namespace

AreaWarnings WarnAboutAreas(const ConversionSettings& settings, ConversionObserver& observer) {
  std::set<std::string> seen;
  AreaWarnings warnings;
  for (const std::string& map_folder : settings.map_folders) {
    for (const std::string& area : ListSubfoldersOrNone(map_folder)) {
      const std::string path = JoinPath(map_folder, area);
      const std::string real = RealPath(path);
      if (!real.empty() && !seen.insert(real).second) {
        observer.OnWarning({WarningKind::kAreaTwice, "同じ地域を2度変換します", path, 0});
        warnings = {warnings.count + 1, path, 0};
      } else if (WarnZoneMismatch(path, area, settings.coordsys_index, observer)) {
        warnings = {warnings.count + 1, area + "/" + area + ".txt", kSheetZoneLine};
      }
      // A strict run ends at its first warning, which is then the last one.
      if (settings.strict && warnings.count > 0) return warnings;
    }
  }
  return warnings;
}

MapDataProblem CheckMapData(const std::vector<std::string>& map_folders,
                            std::span<const LayerDef* const> layers) {
  for (const std::string& folder : map_folders) {
    if (!IsFolder(folder)) return {SettingsProblem::kMapFolderMissing, folder};
    if (!HoldsInput(folder, layers)) return {SettingsProblem::kNoMapData, folder};
  }
  return {};
}

}  // namespace pelmora
