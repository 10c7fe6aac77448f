#pragma once
// The warnings a conversion of one area must give, found by a plain reading
// of the area's files that shares nothing with the converters but the
// cutting of lines and fields: each record read in turn, each arc and
// attribute line found by walking its file from the top. For the area fuzz
// target, which compares them with the warnings the run gave: none lost,
// none invented.
#include <filesystem>
#include <string>
#include <vector>

namespace pelmora::fuzz {

// One warning as "<kind key> <file> <line>", e.g.
// "missing_arc 13101/gaiku/gaiku.pgn 3".
using WarningKey = std::string;

// The warnings of a run that converted every layer of the area folder
// `area` (named `area_name`) into chained polygons, with coordinate-system
// entry coordsys_index, and ended without an error: the map-sheet file's
// zone, arcs missing from arc files, records without attribute lines,
// values over 100 bytes and objects of too few vertices. Sorted.
std::vector<WarningKey> ExpectedWarnings(const std::filesystem::path& area,
                                         const std::string& area_name, int coordsys_index);

}  // namespace pelmora::fuzz
