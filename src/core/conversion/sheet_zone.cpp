#include "sheet_zone.hpp"

#include "../mif/coordsys.hpp"
#include "../text/cp932.hpp"
#include "../text/numbers.hpp"

namespace pelmora {
namespace {

constexpr int kZones = kCoordSysCount / 2;

std::string ZoneName(int zone) {
  return "第" + std::to_string(zone) + "系";
}

}  // namespace

std::optional<std::string> ZoneMismatchText(std::string_view field, int coordsys_index) {
  const int chosen = CoordSysZone(coordsys_index);
  const std::optional<int32_t> found = TryStrToInt(field);
  if (found && *found == chosen) return std::nullopt;
  const std::string chosen_text = "選んだ座標系の" + ZoneName(chosen);
  if (found && *found >= 1 && *found <= kZones) {
    return "図郭ファイルの座標系は" + ZoneName(*found) + "で、" + chosen_text + "と異なります";
  }
  return "図郭ファイルの座標系番号「" + Cp932ToUtf8Lossy(field) + "」は" + chosen_text +
         "と異なります";
}

bool WarnZoneMismatch(const AreaDescription& area, int coordsys_index,
                      ConversionObserver& observer) {
  if (!area.zone_field) return false;
  const std::optional<std::string> text = ZoneMismatchText(*area.zone_field, coordsys_index);
  if (!text) return false;
  const std::string file = area.name + "/" + area.SheetFile();
  observer.OnWarning({WarningKind::kZoneMismatch, *text, file, kSheetZoneLine});
  return true;
}

}  // namespace pelmora
