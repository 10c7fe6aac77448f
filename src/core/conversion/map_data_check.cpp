#include "map_data_check.hpp"

#include <algorithm>
#include <set>
#include <vector>

#include "../errors.hpp"
#include "../input/area_folder.hpp"
#include "../input/input_description.hpp"
#include "../io/path_text.hpp"
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

// The wrong-level look below reads folders the description did not list
// (the folder itself as an area, the areas of its subfolders): only when
// the check already failed.

// Whether the folder at area_path, taken as the area named area, holds the
// file that decides if one of layers takes part.
bool PathHoldsAreaInput(const std::string& area_path, const std::string& area,
                        std::span<const LayerDef* const> layers) {
  for (const LayerDef* layer : layers) {
    const std::string relative =
        layer->kind == LayerKind::kFrame ? area + ".txt" : std::string(layer->input_path);
    if (ResolveFile(area_path, relative)) return true;
  }
  return false;
}

// Whether an area subfolder of map_folder holds an input file of layers.
bool PathHoldsInput(const std::string& map_folder, std::span<const LayerDef* const> layers) {
  for (const std::string& area : ListSubfoldersOrNone(map_folder)) {
    if (PathHoldsAreaInput(JoinPath(map_folder, area), area, layers)) return true;
  }
  return false;
}

// The folder above folder, as the user would type it: "." above a single
// relative name, a root above itself.
std::string ParentFolder(const std::string& folder) {
  if (std::string parent = ParentPath(folder); !parent.empty()) return parent;
  return LastComponent(folder).empty() ? folder : std::string(".");
}

// The warning for a map-data folder one level off: itself an area (it holds
// the theme folders and files of one), or the parent of map-data folders.
std::string WrongLevelMessage(const std::string& folder, std::span<const LayerDef* const> layers) {
  const std::string given = "数値地図2500のフォルダ「" + folder + "」";
  if (PathHoldsAreaInput(folder, LastComponent(folder), layers)) {
    return given +
           "は地域のフォルダです (テーマのフォルダ road などを直接収めています)。1つ上の"
           "フォルダ「" +
           ParentFolder(folder) + "」を指定してください。";
  }
  std::vector<std::string> below;
  for (const std::string& sub : ListSubfoldersOrNone(folder)) {
    if (PathHoldsInput(JoinPath(folder, sub), layers)) below.push_back(JoinPath(folder, sub));
  }
  if (below.empty()) return {};
  constexpr size_t kNamed = 3;
  std::string names;
  for (size_t i = 0; i < below.size() && i < kNamed; ++i) names += "「" + below[i] + "」";
  if (below.size() > kNamed) names += "など " + std::to_string(below.size()) + " 個のフォルダ";
  return given + "には地域のフォルダがなく、1つ下のフォルダが数値地図2500のフォルダです。" + names +
         "を指定してください。";
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
    if (!folder.is_folder) return {SettingsProblem::kMapFolderMissing, folder.folder, {}};
    if (!HoldsInput(input.AreasOf(i), layers)) {
      return {SettingsProblem::kNoMapData, folder.folder, WrongLevelMessage(folder.folder, layers)};
    }
  }
  return {};
}

}  // namespace pelmora
