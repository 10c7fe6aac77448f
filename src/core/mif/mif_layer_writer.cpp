#include "mif_layer_writer.hpp"

#include "coordsys.hpp"
#include "mif_writer.hpp"

namespace pelmora {

MifLayerWriter::MifLayerWriter(const LayerSchema& schema, const std::string& output_folder)
    : kind_(schema.kind), files_(output_folder) {
  const std::string name(schema.name);
  mif_ = &files_.Create(name + ".mif");
  mid_ = &files_.Create(name + ".mid");
  WriteMifHeader(*mif_, CoordSysClause(schema.coordsys_index), schema.columns);
}

void MifLayerWriter::Write(const Feature& feature) {
  const TSFShape& geometry = feature.geometry;
  // MapInfo and GDAL stop reading at a line or region of fewer than two
  // vertices, so such a geometry (an empty one included) is written as none.
  if (kind_ != GeometryKind::kPoint && geometry.Points.size() < 2) {
    WriteNone(*mif_);
    WriteMidRow(*mid_, feature.values, row_);
    return;
  }
  switch (kind_) {
    case GeometryKind::kPoint:
      WritePoint(*mif_, geometry.Points.empty() ? TSFPoint{} : geometry.Points.front());
      break;
    case GeometryKind::kLine:
      WritePLine(*mif_, geometry);
      break;
    case GeometryKind::kPolygon:
      WriteRegion(*mif_, geometry);
      break;
  }
  WriteMidRow(*mid_, feature.values, row_);
}

std::unique_ptr<LayerWriter> MakeMifLayerWriter(const LayerSchema& schema,
                                                const std::string& output_folder) {
  return std::make_unique<MifLayerWriter>(schema, output_folder);
}

}  // namespace pelmora
