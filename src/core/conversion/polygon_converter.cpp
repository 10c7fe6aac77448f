// Polygon layers: every polygon record of the layer's type code becomes a
// polygon feature, with the values sheet number, individual number and the
// polygon's attribute values. Its geometry is one ring chained from the arcs
// it references, or, assembling, the closed rings those arcs form.
#include <cmath>

#include "../errors.hpp"
#include "../features/ring_assembly.hpp"
#include "../text/numbers.hpp"
#include "kind_converters.hpp"

namespace pelmora {

void PolygonConverter::ConvertFile(AreaInput& input) {
  ResetCompanion(arcs_, input, layer_.arc_path, 3);
  const bool joins_attributes = !layer_.attribute_path.empty();
  if (joins_attributes) ResetCompanion(attributes_, input, layer_.attribute_path, 2);
  WalkRecords(input, [&](size_t i) {
    const int32_t references = StrToInt(record_[3]);
    GatherRing(input, i, references);
    BuildPolygon();
    if (assemble_) AssemblePolygon(i);
    StartValues(record_[2]);
    if (joins_attributes) {
      JoinAttributes(attributes_, record_[2], i);
    }
    Emit(i);
    // A negative count consumes no reference line.
    return i + 1 + static_cast<size_t>(references > 0 ? references : 0);
  });
  arcs_.Release();
  attributes_.Release();
}

// Chains the coordinate lines of the arcs that the record at line `record`
// references, each forwards or reversed by the sign of its reference.
void PolygonConverter::GatherRing(AreaInput& input, size_t record, int32_t references) {
  ring_.clear();
  arc_ends_.clear();
  if (references <= 0) return;
  const auto& lines = input.file->lines();
  // Every reference line must exist before any arc is fetched.
  if (record + static_cast<size_t>(references) >= lines.size()) {
    ThrowListIndexError(lines.size());
  }
  for (size_t r = record + 1; r <= record + static_cast<size_t>(references); ++r) {
    try {
      const std::string_view reference = FirstField(lines[r], reference_);
      if (!AppendArcPoints(arcs_, reference, ring_)) {
        Warn(WarningKind::kMissingArc,
             "アーク " + std::string(reference) + " が " + arcs_.display() + " にありません", r);
      }
      if (assemble_) arc_ends_.push_back(ring_.size());
    } catch (ConversionError& e) {
      if (!e.HasPlace()) e.SetPlace(input.display, static_cast<int>(r) + 1);
      throw;
    }
  }
}

// Replaces the chained ring by the rings that the arcs close, outer rings
// with their holes; a ring that does not close is closed with its first
// vertex and reported.
void PolygonConverter::AssemblePolygon(size_t record) {
  // Fewer than two points make no ring to close: the polygon stays empty.
  if (feature_.geometry.NumPoints < 2) return;
  const AssemblyResult result = AssembleRings(feature_.geometry.Points, arc_ends_, assembled_);
  std::swap(feature_.geometry, assembled_);
  for (int k = 0; k < result.rings_not_closed; ++k) {
    Warn(WarningKind::kRingNotClosed, "閉じていないポリゴンの環を始点で閉じました", record);
  }
}

// Turns the gathered coordinate lines into the polygon's vertices. Each arc
// line's numbers come from the table of the arc file, so that a line is read
// once however many polygons (or layers) use it. A line whose fields are no
// numbers, or a sum with the origin that overflows, is read again the plain
// way, which raises the error exactly as it arises.
void PolygonConverter::BuildPolygon() {
  TSFShape& polygon = feature_.geometry;
  polygon.ResetSinglePart();
  polygon.Points.reserve(ring_.size());
  if (ring_.empty()) return;
  const LineTable& lines = arcs_.file().lines();
  CoordLineNumbers& table = arcs_.numbers();
  for (const CoordLine& coord : ring_) {
    if (const CoordNumbers* numbers = table.Find(lines, coord.line)) {
      const TSFPoint point{origin_.easting + numbers->field2, origin_.northing + numbers->field1};
      if (std::isfinite(point.X) && std::isfinite(point.Y)) {
        polygon.AddPoint(point);
        continue;
      }
    }
    try {
      coords_.Split(coord.text);
      const double x = OffsetCoordinate(origin_.easting, coords_[2]);
      const double y = OffsetCoordinate(origin_.northing, coords_[1]);
      polygon.AddPoint({x, y});
    } catch (ConversionError& e) {
      e.SetPlace(arcs_.display(), static_cast<int>(coord.line) + 1);
      throw;
    }
  }
}

}  // namespace pelmora
