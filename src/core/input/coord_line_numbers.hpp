#pragma once
// The two numbers of each coordinate line of a loaded file, read at most once
// however often the line is used: an arc's lines are read by its line layer
// and by each polygon the arc bounds (most arcs bound two), and the layers
// that convert an area together share one table per file.
#include <cmath>
#include <cstddef>
#include <limits>

#include "../io/large_memory.hpp"
#include "../text/fields.hpp"
#include "../text/lines.hpp"

namespace pelmora {

struct CoordNumbers {
  double field1;  // the northing as written in the line, without the origin
  double field2;  // the easting
};

class CoordLineNumbers {
 public:
  // Forgets every line, keeping the memory for the next file.
  void Clear() { numbers_.clear(); }

  // Fields 1 and 2 of line k of lines as StrToFloat reads them, or nullptr
  // when either is no number (the caller then reads the line the general
  // way, which raises the error). lines must be the same table from one
  // Clear to the next, and be padded as an InputFile's lines are.
  const CoordNumbers* Find(const LineTable& lines, size_t k) {
    if (numbers_.empty()) numbers_.assign(lines.size(), kUnread);
    CoordNumbers& numbers = numbers_[k];
    if (!std::isnan(numbers.field1)) return &numbers;
    return Read(lines[k], numbers);
  }

 private:
  static constexpr CoordNumbers kUnread = {std::numeric_limits<double>::quiet_NaN(), 0};

  const CoordNumbers* Read(std::string_view line, CoordNumbers& numbers);

  LargeVector<CoordNumbers> numbers_;
  FieldSplitter fields_;
};

}  // namespace pelmora
