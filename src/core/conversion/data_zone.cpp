#include "data_zone.hpp"

#include "../mif/coordsys.hpp"

namespace pelmora {
namespace {

constexpr int kZoneCount = kCoordSysCount / 2;

std::string SheetNamed(const AreaDescription& area) {
  return area.name + "/" + area.SheetFile() + " は第" + std::to_string(*area.zone) + "系";
}

}  // namespace

DataZone FindDataZone(const InputDescription& input, int datum_like) {
  DataZone found;
  for (const AreaDescription& area : input.areas) {
    if (!area.zone) continue;
    if (!found.first) {
      found.first = &area;
    } else if (*area.zone != *found.first->zone) {
      found.outcome = DataZone::Outcome::kMixed;
      found.other = &area;
      return found;
    }
  }
  if (!found.first) return found;
  found.outcome = DataZone::Outcome::kFound;
  found.zone = *found.first->zone;
  const int datum_base = datum_like >= kZoneCount ? kZoneCount : 0;
  found.coordsys_index = datum_base + found.zone - 1;
  return found;
}

std::string DataZoneProblemText(const DataZone& found) {
  constexpr std::string_view kAsk = "--coordsys で座標系を指定してください。";
  switch (found.outcome) {
    case DataZone::Outcome::kFound:
      return {};
    case DataZone::Outcome::kNoZone:
      return "座標系の系を読み取れる図郭ファイルがありません。" + std::string(kAsk);
    case DataZone::Outcome::kMixed:
      return "図郭ファイルの座標系の系が地域によって異なります (" + SheetNamed(*found.first) +
             "、" + SheetNamed(*found.other) + ")。" + std::string(kAsk);
  }
  return {};
}

std::optional<int> ParseCoordSysChoice(std::string_view text) {
  if (text == "auto") return kCoordSysFromData;
  if (text.empty() || text.size() > 2) return std::nullopt;
  int index = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    index = index * 10 + (c - '0');
  }
  return index < kCoordSysCount ? std::optional<int>(index) : std::nullopt;
}

std::string CoordSysCaption(int coordsys_index, bool from_data) {
  if (coordsys_index < 0 || coordsys_index >= kCoordSysCount) return {};
  std::string caption(CoordSysTable()[coordsys_index].name);
  return from_data ? caption + " (図郭ファイルから)" : caption;
}

}  // namespace pelmora
