// The map-sheet frame layer: one rectangle per area, from the seventh line of
// the area's map-sheet file, with the area's name and the coordinate-system
// values as its row. No sheet origin applies.
#include "../errors.hpp"
#include "../mif/mif_writer.hpp"
#include "kind_converters.hpp"

namespace pelmora {

void FrameConverter::ConvertFile(AreaInput& input, OutputFile& mif, OutputFile& mid) {
  if (input.file->LineCount() < 10) return;  // too short to be a map-sheet file
  constexpr size_t kFrameLine = 6;
  fields_.Split(input.file->Line(kFrameLine));
  try {
    const double x1 = OffsetCoordinate(0, fields_[3]);
    const double y1 = OffsetCoordinate(0, fields_[2]);
    const double x2 = OffsetCoordinate(0, fields_[5]);
    const double y2 = OffsetCoordinate(0, fields_[4]);
    frame_.ResetSinglePart();
    frame_.AddPoint({x1, y1});
    frame_.AddPoint({x2, y1});
    frame_.AddPoint({x2, y2});
    frame_.AddPoint({x1, y2});
  } catch (ConversionError& e) {
    e.SetPlace(input.display, static_cast<int>(kFrameLine) + 1);
    throw;
  }
  WriteRegion(mif, frame_);
  row_.clear();
  AppendQuoted(row_, input.area);
  row_.push_back(',');
  AppendQuoted(row_, fields_[10]);
  row_.push_back(',');
  AppendQuoted(row_, fields_[1]);
  mid.WriteLine(row_);
}

}  // namespace pelmora
