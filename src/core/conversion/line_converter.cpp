// Line layers: every arc record of the layer's type code becomes a line
// feature with the values sheet number, line-type tag, individual number and,
// for roads and railway lines, the attribute values of the arc.
#include <algorithm>
#include <cmath>

#include "../errors.hpp"
#include "../input/companion_file.hpp"
#include "../text/numbers.hpp"
#include "kind_converters.hpp"

namespace pelmora {
namespace {

// Fields 1 and 2 of coordinate line i. When the file is shared, polygon
// layers of the area read the same lines, and the numbers are kept for them.
bool ReadCoordNumbers(const LineTable& lines, CoordLineNumbers* shared, size_t i, double& field1,
                      double& field2) {
  if (shared == nullptr) return TryReadCoordLineInPlace(lines[i], field1, field2);
  const CoordNumbers* numbers = shared->Find(lines, i);
  if (numbers == nullptr) return false;
  field1 = numbers->field1;
  field2 = numbers->field2;
  return true;
}

}  // namespace

void LineConverter::ConvertFile(AreaInput& input) {
  if (!layer_.attribute_path.empty()) ResetCompanion(attributes_, input, layer_.attribute_path, 2);
  const auto& lines = input.file->lines();
  WalkRecords(input, [&](size_t k) { return ConvertArc(lines, input.numbers, k); });
  attributes_.Release();
}

// Converts the arc whose record is line k; returns the line after its
// coordinate lines.
size_t LineConverter::ConvertArc(const LineTable& lines, CoordLineNumbers* shared, size_t k) {
  const int32_t count = StrToInt(record_[4]);
  if (count < 0) throw DataError("範囲チェックエラー");
  TSFShape& line = feature_.geometry;
  line.ResetSinglePart();
  // Room only for the lines the file holds: a count can be any number.
  line.Points.reserve(std::min<size_t>(static_cast<size_t>(count), lines.size() - k - 1));
  // The lines that exist are read in order before a missing one is noticed.
  for (size_t i = k + 1; i <= k + static_cast<size_t>(count); ++i) {
    if (i >= lines.size()) {
      fault_line_ = k;  // the record that announced the missing line
      ThrowListIndexError(lines.size());
    }
    fault_line_ = i;
    double northing, easting;
    if (ReadCoordNumbers(lines, shared, i, northing, easting)) {
      const TSFPoint point{origin_.easting + easting, origin_.northing + northing};
      if (std::isfinite(point.X) && std::isfinite(point.Y)) {
        line.AddPoint(point);
        continue;
      }
    }
    // Any other form, or a sum that overflows: the general reading, which
    // raises the error of the field at fault.
    coords_.Split(lines[i]);
    const double x = OffsetCoordinate(origin_.easting, coords_[2]);
    const double y = OffsetCoordinate(origin_.northing, coords_[1]);
    line.AddPoint({x, y});
  }
  fault_line_ = k;
  StartValues(record_[2]);
  AddValue(record_[3]);
  if (!layer_.attribute_path.empty()) {
    JoinAttributes(attributes_, record_[3], k);
  }
  Emit(k);
  return k + static_cast<size_t>(count) + 1;
}

}  // namespace pelmora
