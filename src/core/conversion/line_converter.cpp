// Line layers: every arc record of the layer's type code becomes a PLine
// with a row of sheet number, line-type tag, individual number and, for roads
// and railway lines, the attribute values of the arc.
#include "../errors.hpp"
#include "../input/area_folder.hpp"
#include "../input/companion_file.hpp"
#include "../input/sheet_header.hpp"
#include "../mif/mif_writer.hpp"
#include "../text/numbers.hpp"
#include "kind_converters.hpp"

namespace pelmora {

void LineConverter::ConvertFile(AreaInput& input, OutputFile& mif, OutputFile& mid) {
  const bool joins_attributes = !layer_.attribute_path.empty();
  if (joins_attributes) {
    attributes_.Reset(ResolveFileOrJoin(input.area_path, layer_.attribute_path),
                      input.area + "/" + std::string(layer_.attribute_path), 2);
  }
  const auto& lines = input.file.lines();
  size_t k = 0, fault_line = 0;
  try {
    while (k < lines.size()) {
      AtLine(k);
      fault_line = k;
      if (k == 0) {
        SheetHeader header = ReadSheetHeader(lines[0], record_);
        sheet_number_.assign(header.sheet_number);
        origin_ = header.origin;
        k = 1;
        continue;
      }
      if (!FirstFieldMayEqual(lines[k], layer_.type_code)) {
        ++k;
        continue;
      }
      record_.Split(lines[k]);
      if (record_[1] != layer_.type_code) {
        ++k;
        continue;
      }
      const int32_t count = StrToInt(record_[4]);
      if (count < 0) throw DataError("範囲チェックエラー");
      line_.ResetSinglePart();
      // Room only for the lines the file holds: a count can be any number.
      line_.Points.reserve(std::min<size_t>(static_cast<size_t>(count), lines.size() - k - 1));
      for (size_t i = k + 1; i <= k + static_cast<size_t>(count); ++i) {
        if (i >= lines.size()) {
          fault_line = k;  // the record that announced the missing line
          ThrowListIndexError(lines.size());
        }
        fault_line = i;
        coords_.Split(lines[i]);
        const double x = OffsetCoordinate(origin_.easting, coords_[2]);
        const double y = OffsetCoordinate(origin_.northing, coords_[1]);
        line_.AddPoint({x, y});
      }
      fault_line = k;
      k += static_cast<size_t>(count) + 1;
      WritePLine(mif, line_);
      row_.clear();
      AppendQuoted(row_, sheet_number_);
      row_.push_back(',');
      AppendQuoted(row_, record_[2]);
      row_.push_back(',');
      AppendQuoted(row_, record_[3]);
      if (joins_attributes) {
        row_.push_back(',');
        LookupAttributes(attributes_, record_[3], layer_.attribute_count, row_);
      }
      mid.WriteLine(row_);
    }
  } catch (ConversionError& e) {
    if (!e.HasPlace()) e.SetPlace(input.display, static_cast<int>(fault_line) + 1);
    throw;
  }
  attributes_.Release();
}

}  // namespace pelmora
