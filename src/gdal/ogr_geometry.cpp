#include "ogr_geometry.hpp"

#include <ogr_geometry.h>

namespace pelmora::gdal {
namespace {

// The part [first, end) of a shape's vertices as a ring or line.
template <typename Curve>
void AddVertices(Curve& curve, const TSFShape& shape, int part) {
  const int first = shape.Parts[part];
  const int end = part + 1 < shape.NumParts ? shape.Parts[part + 1] : shape.NumPoints;
  curve.setNumPoints(end - first, FALSE);
  for (int i = first; i < end; ++i) curve.setPoint(i - first, shape.Points[i].X, shape.Points[i].Y);
}

}  // namespace

// An outer ring is clockwise and followed by its holes, which run
// counter-clockwise; the first ring always begins a polygon, so that a
// chained ring of either orientation is an outer ring. The Shapefile driver
// turns the rings as its format wants.
OGRMultiPolygon* MultiPolygonOf(const TSFShape& shape) {
  auto* polygons = new OGRMultiPolygon();
  OGRPolygon* polygon = nullptr;
  for (int part = 0; part < shape.NumParts; ++part) {
    auto* ring = new OGRLinearRing();
    AddVertices(*ring, shape, part);
    ring->closeRings();
    const bool outer = polygon == nullptr || ring->isClockwise();
    if (outer == static_cast<bool>(ring->isClockwise())) ring->reversePoints();
    if (outer) {
      polygon = new OGRPolygon();
      polygons->addGeometryDirectly(polygon);
    }
    polygon->addRingDirectly(ring);
  }
  return polygons;
}

OGRGeometry* OgrGeometryOf(GeometryKind kind, const TSFShape& shape) {
  // An empty object (MIF's none) is a feature without geometry, which every
  // reader takes, rather than an empty one, which some refuse.
  if (kind != GeometryKind::kPoint && shape.NumParts == 0) return nullptr;
  if (kind == GeometryKind::kPoint) {
    const TSFPoint p = shape.Points.empty() ? TSFPoint{} : shape.Points[0];
    return new OGRPoint(p.X, p.Y);
  }
  if (kind == GeometryKind::kLine) {
    auto* line = new OGRLineString();
    if (shape.NumParts > 0) AddVertices(*line, shape, 0);
    return line;
  }
  return MultiPolygonOf(shape);
}

}  // namespace pelmora::gdal
