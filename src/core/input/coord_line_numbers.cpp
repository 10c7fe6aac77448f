#include "coord_line_numbers.hpp"

#include "../text/numbers.hpp"

namespace pelmora {

const CoordNumbers* CoordLineNumbers::Read(std::string_view line, CoordNumbers& numbers) {
  if (TryReadCoordLineInPlace(line, numbers.field1, numbers.field2)) return &numbers;
  // Blanks, quotes or a number of another form: the fields as split.
  fields_.SplitPadded(line);
  auto field1 = TryStrToFloat(fields_[1]), field2 = TryStrToFloat(fields_[2]);
  if (field1 && field2) {
    numbers = {*field1, *field2};
    return &numbers;
  }
  numbers = kUnread;
  return nullptr;
}

}  // namespace pelmora
