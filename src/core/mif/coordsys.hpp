#pragma once
// The 38 coordinate systems a MIF header can be labelled with. Nothing is
// reprojected: the clause only names the system the data is in.
#include <span>
#include <string_view>

namespace pelmora {

struct CoordSysEntry {
  std::string_view name;    // as the chooser lists it (UTF-8)
  std::string_view clause;  // written after "CoordSys " (ASCII)
  int epsg = 0;             // the same system's EPSG code, for other formats
};

inline constexpr int kCoordSysCount = 38;

std::span<const CoordSysEntry, kCoordSysCount> CoordSysTable();

// The clause of entry index; empty for an index outside 0 to 37.
std::string_view CoordSysClause(int index);

// The EPSG code of entry index; 0 for an index outside 0 to 37.
int CoordSysEpsg(int index);

// The plane rectangular zone, 1 to 19, of entry index: entries 0 to 18 are
// zones 1 to 19 of JGD2000, entries 19 to 37 the same zones of the Tokyo
// datum. 0 for an index outside 0 to 37.
int CoordSysZone(int index);

}  // namespace pelmora
