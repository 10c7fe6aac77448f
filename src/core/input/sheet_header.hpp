#pragma once
// Line 0 of every arc, polygon and point file: the sheet number and origin.
#include <string_view>

#include "../text/fields.hpp"

namespace pelmora {

struct SheetOrigin {
  double northing = 0;  // added to Y
  double easting = 0;   // added to X
};

struct SheetHeader {
  std::string_view sheet_number;  // valid while the line and splitter are
  SheetOrigin origin;
};

// Reads the header: with exactly 10 commas in the raw line the origin is in
// fields 8 (northing) and 9 (easting), otherwise in fields 9 and 10. The
// easting is converted first, so when both are faulty the error names it.
// The splitter is left holding the header's fields.
SheetHeader ReadSheetHeader(std::string_view line, FieldSplitter& fields);

}  // namespace pelmora
