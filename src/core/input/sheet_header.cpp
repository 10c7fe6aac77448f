#include "sheet_header.hpp"

#include "../text/numbers.hpp"

namespace pelmora {

SheetHeader ReadSheetHeader(std::string_view line, FieldSplitter& fields) {
  fields.Split(line);
  SheetHeader header;
  header.sheet_number = fields[2];
  const bool short_layout = CountOccurrences(1, ",", line) == 10;
  const int northing_field = short_layout ? 8 : 9;
  header.origin.easting = StrToFloat(fields[northing_field + 1]);
  header.origin.northing = StrToFloat(fields[northing_field]);
  return header;
}

}  // namespace pelmora
