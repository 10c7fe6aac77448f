#pragma once
// The coordinate system the data names: the zone that the areas' map-sheet
// files give (line 7, field 1), as an entry of the coordinate-system table.
// The datum cannot be read from the data, so the entry is taken in the half
// of the table of the datum asked for (JGD2000 unless said otherwise).
#include <optional>
#include <string>
#include <string_view>

#include "../input/input_description.hpp"

namespace pelmora {

// ConversionSettings::coordsys_index for "the zone the data names": the run
// takes the JGD2000 entry of that zone, or refuses when the areas name
// different zones or none.
inline constexpr int kCoordSysFromData = -1;

struct DataZone {
  enum class Outcome { kFound, kNoZone, kMixed };
  Outcome outcome = Outcome::kNoZone;
  int zone = 0;             // kFound: 1..19
  int coordsys_index = -1;  // kFound: the entry of that zone in the datum asked for
  // kMixed: the first area naming a zone, and the first naming another.
  const AreaDescription* first = nullptr;
  const AreaDescription* other = nullptr;
};

// The zone every area whose map-sheet file names one agrees on. Areas
// without a map-sheet file, or whose field names no zone, do not take part
// (the area warnings report the latter). datum_like is an entry of the
// table: the entry found is of the same datum (0..18 JGD2000, 19..37 Tokyo).
DataZone FindDataZone(const InputDescription& input, int datum_like = 0);

// The settings problem's message for a zone not found (kNoZone, kMixed),
// asking for --coordsys; empty for kFound.
std::string DataZoneProblemText(const DataZone& found);

// The coordinate system as a command line names it: "auto"
// (kCoordSysFromData) or an entry 0..37 in decimal; nothing for other text.
std::optional<int> ParseCoordSysChoice(std::string_view text);

// The caption of the entry taken, for the log and summaries:
// "平面直角座標系(世界測地系) / 第9系", followed by " (図郭ファイルから)"
// when it was taken from the data.
std::string CoordSysCaption(int coordsys_index, bool from_data);

}  // namespace pelmora
