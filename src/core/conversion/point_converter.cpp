// Point layers: every point record of the layer's type code becomes a point
// feature with the values sheet number, individual number and attribute
// values.
#include "kind_converters.hpp"

namespace pelmora {

void PointConverter::ConvertFile(AreaInput& input) {
  ResetCompanion(attributes_, input, layer_.attribute_path, 2);
  WalkRecords(input, [&](size_t k) {
    const double x = OffsetCoordinate(origin_.easting, record_[4]);
    const double y = OffsetCoordinate(origin_.northing, record_[3]);
    feature_.geometry.ResetSinglePart();
    feature_.geometry.AddPoint({x, y});
    StartValues(record_[2]);
    JoinAttributes(attributes_, record_[2], k);
    Emit(k);
    return k + 1;
  });
  attributes_.Release();
}

}  // namespace pelmora
