// Point layers: every point record of the layer's type code becomes a Point
// with a row of sheet number, individual number and attribute values.
#include "../errors.hpp"
#include "../input/area_folder.hpp"
#include "../mif/mif_writer.hpp"
#include "kind_converters.hpp"

namespace pelmora {

void PointConverter::ConvertFile(AreaInput& input, OutputFile& mif, OutputFile& mid) {
  attributes_.Reset(ResolveFileOrJoin(input.area_path, layer_.attribute_path),
                    input.area + "/" + std::string(layer_.attribute_path), 2);
  const auto& lines = input.file.lines();
  size_t k = 0;
  try {
    for (; k < lines.size(); ++k) {
      AtLine(k);
      if (k == 0) {
        SheetHeader header = ReadSheetHeader(lines[0], record_);
        sheet_number_.assign(header.sheet_number);
        origin_ = header.origin;
        continue;
      }
      if (!FirstFieldMayEqual(lines[k], layer_.type_code)) continue;
      record_.Split(lines[k]);
      if (record_[1] != layer_.type_code) continue;
      const double x = OffsetCoordinate(origin_.easting, record_[4]);
      const double y = OffsetCoordinate(origin_.northing, record_[3]);
      WritePoint(mif, {x, y});
      row_.clear();
      AppendQuoted(row_, sheet_number_);
      row_.push_back(',');
      AppendQuoted(row_, record_[2]);
      row_.push_back(',');
      LookupAttributes(attributes_, record_[2], layer_.attribute_count, row_);
      mid.WriteLine(row_);
    }
  } catch (ConversionError& e) {
    if (!e.HasPlace()) e.SetPlace(input.display, static_cast<int>(k) + 1);
    throw;
  }
  attributes_.Release();
}

}  // namespace pelmora
