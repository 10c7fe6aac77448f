#pragma once
// The coordinate-system zone that an area's map-sheet file names, against the
// zone of the chosen coordinate system. Nothing is reprojected, so areas of
// another zone would be written into the layers as if they lay in the chosen
// plane, far from where they belong.
#include <optional>
#include <string>
#include <string_view>

#include "../input/input_description.hpp"
#include "observer.hpp"

namespace pelmora {

// The warning's text for a map-sheet file whose zone field reads `field`
// (code page 932 bytes), or nothing when that is the zone of the chosen entry
// of the coordinate-system table.
std::optional<std::string> ZoneMismatchText(std::string_view field, int coordsys_index);

// Warns once when the area's map-sheet file names another zone than the
// chosen entry's: kind kZoneMismatch, the file named "<area>/<area>.txt" as
// every message names it, line 7, the text saying the zone found and the zone
// chosen. An area without a map-sheet file, or whose file has no seventh
// line, gets no warning. Returns whether it warned.
bool WarnZoneMismatch(const AreaDescription& area, int coordsys_index,
                      ConversionObserver& observer);

}  // namespace pelmora
