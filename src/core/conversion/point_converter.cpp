// Point layers: every point record of the layer's type code becomes a Point
// with a row of sheet number, individual number and attribute values.
#include "../mif/mif_writer.hpp"
#include "kind_converters.hpp"

namespace pelmora {

void PointConverter::ConvertFile(AreaInput& input, OutputFile& mif, OutputFile& mid) {
  ResetCompanion(attributes_, input, layer_.attribute_path, 2);
  WalkRecords(input, [&](size_t k) {
    const double x = OffsetCoordinate(origin_.easting, record_[4]);
    const double y = OffsetCoordinate(origin_.northing, record_[3]);
    WritePoint(mif, {x, y});
    StartRow(record_[2]);
    row_.push_back(',');
    LookupAttributes(attributes_, record_[2], layer_.attribute_count, row_);
    mid.WriteLine(row_);
    return k + 1;
  });
  attributes_.Release();
}

}  // namespace pelmora
