#pragma once
// Writes a whole map-data folder: one subfolder per area with the seven
// theme folders, their files and the map-sheet file.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "known_polygons.hpp"
#include "options.hpp"

namespace pelmora::gen {

// A problem that stops generation: the output folder is unusable or a file
// cannot be written. The message names the path and the reason.
class GenError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct AreaReport {
  std::string code;  // the subfolder's name
  int64_t bytes = 0;
  int files = 0;
  int blocks_e = 0, blocks_n = 0;  // size of the block grid
  // Polygons with holes or several parts, and the deliberately faulty ones;
  // every other polygon is one ring.
  std::vector<KnownPolygon> known;
};

struct GenReport {
  std::vector<AreaReport> areas;
  int64_t bytes = 0;
};

GenReport GenerateMapData(const GenOptions& options);

// The area code of the index-th area: 13101, 13102, … then 14101, …
std::string AreaCode(int index);

}  // namespace pelmora::gen
