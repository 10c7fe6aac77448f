#include "map_data_check.hpp"

#include <algorithm>
#include <set>

#include "../errors.hpp"
#include "../platform/files.hpp"
#include "sheet_zone.hpp"

namespace pelmora {
namespace {

// Whether the area holds the file that decides if one of layers takes part.
bool AreaHasInput(const AreaDescription& area, std::span<const LayerDef* const> layers) {
  for (const LayerDef* layer : layers) {
    if (layer->kind == LayerKind::kFrame ? area.Find(area.SheetFile()) != nullptr
                                         : area.Find(layer->input_path) != nullptr) {
      return true;
    }
  }
  return false;
}

bool HoldsInput(std::span<const AreaDescription> areas, std::span<const LayerDef* const> layers) {
  return std::any_of(areas.begin(), areas.end(),
                     [&](const AreaDescription& area) { return AreaHasInput(area, layers); });
}

// The path of folder with every link resolved, or empty.
std::string RealPath(const std::string& folder) {
  return platform::CanonicalPath(folder);
}

}  // namespace

AreaWarnings WarnAboutAreas(const ConversionSettings& settings, const InputDescription& input,
                            ConversionObserver& observer) {
  std::set<std::string> seen;
  AreaWarnings warnings;
  for (const AreaDescription& area : input.areas) {
    const std::string real = RealPath(area.path);
    if (!real.empty() && !seen.insert(real).second) {
      observer.OnWarning({WarningKind::kAreaTwice, "同じ地域を2度変換します", area.path, 0});
      warnings = {warnings.count + 1, area.path, 0};
    } else if (WarnZoneMismatch(area, settings.coordsys_index, observer)) {
      warnings = {warnings.count + 1, area.name + "/" + area.SheetFile(), kSheetZoneLine};
    }
    // A strict run ends at its first warning, which is then the last one.
    if (settings.strict && warnings.count > 0) return warnings;
  }
  return warnings;
}

MapDataProblem CheckMapData(const InputDescription& input,
                            std::span<const LayerDef* const> layers) {
  for (size_t i = 0; i < input.folders.size(); ++i) {
    const DescribedFolder& folder = input.folders[i];
    if (!folder.is_folder) return {SettingsProblem::kMapFolderMissing, folder.folder};
    if (!HoldsInput(input.AreasOf(i), layers)) return {SettingsProblem::kNoMapData, folder.folder};
  }
  return {};
}

}  // namespace pelmora
