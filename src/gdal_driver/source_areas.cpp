#include "source_areas.hpp"

#include "core/conversion/sheet_zone.hpp"
#include "core/input/area_folder.hpp"
#include "core/text/numbers.hpp"

namespace pelmora::gdal_driver {
namespace {

std::optional<int> SheetZone(const std::string& area_path, const std::string& area) {
  const auto path = ResolveFile(area_path, area + ".txt");
  if (!path) return std::nullopt;
  const std::optional<std::string> field = ReadSheetZoneField(*path);
  if (!field) return std::nullopt;
  const std::optional<int32_t> zone = TryStrToInt(*field);
  if (!zone || *zone < 1 || *zone > 19) return std::nullopt;
  return *zone;
}

}  // namespace

std::vector<SourceArea> ListSourceAreas(const std::vector<SourceFolder>& folders) {
  std::vector<SourceArea> areas;
  for (const SourceFolder& folder : folders) {
    for (std::string& name : ListSubfoldersOrNone(folder.map_folder)) {
      if (folder.only_area && name != *folder.only_area) continue;
      std::optional<int> zone = SheetZone(JoinPath(folder.map_folder, name), name);
      areas.push_back({folder.map_folder, std::move(name), zone});
    }
  }
  return areas;
}

bool HasInputFile(const LayerDef& layer, const std::vector<SourceArea>& areas) {
  for (const SourceArea& area : areas) {
    const std::string relative =
        layer.kind == LayerKind::kFrame ? area.name + ".txt" : std::string(layer.input_path);
    if (ResolveFile(JoinPath(area.map_folder, area.name), relative)) return true;
  }
  return false;
}

}  // namespace pelmora::gdal_driver
