// The map-sheet frame layer: one rectangle per area, from the seventh line of
// the area's map-sheet file, with the area's name and the coordinate-system
// values as its values. No sheet origin applies.
#include "../errors.hpp"
#include "kind_converters.hpp"

namespace pelmora {

void FrameConverter::ConvertFile(AreaInput& input) {
  if (input.file->LineCount() < 10) return;  // too short to be a map-sheet file
  constexpr size_t kFrameLine = 6;
  fields_.Split(input.file->Line(kFrameLine));
  try {
    const double x1 = OffsetCoordinate(0, fields_[3]);
    const double y1 = OffsetCoordinate(0, fields_[2]);
    const double x2 = OffsetCoordinate(0, fields_[5]);
    const double y2 = OffsetCoordinate(0, fields_[4]);
    TSFShape& frame = feature_.geometry;
    frame.ResetSinglePart();
    frame.AddPoint({x1, y1});
    frame.AddPoint({x2, y1});
    frame.AddPoint({x2, y2});
    frame.AddPoint({x1, y2});
  } catch (ConversionError& e) {
    e.SetPlace(input.display, static_cast<int>(kFrameLine) + 1);
    throw;
  }
  feature_.values.assign({input.area, fields_[10], fields_[1]});
  Emit(kFrameLine);
}

}  // namespace pelmora
