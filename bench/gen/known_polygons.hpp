#pragma once
// The polygons whose outline is more than one ring, or deliberately broken,
// as the generator drew them: the tests check the converter's assembly
// against this list rather than against an assembly of their own.
#include <cstdint>
#include <string>

namespace pelmora::gen {

struct KnownPolygon {
  std::string code;  // the record's type code, such as A1108
  int64_t id = 0;    // its individual number in the area's polygon file
  int parts = 1;     // outer rings
  int holes = 0;     // inner rings, of all parts together
  // A ring that does not close or an arc missing from the arc file: its
  // outline is not what the rings describe.
  bool faulty = false;
};

}  // namespace pelmora::gen
