#pragma once
// The geometry of features (points, lines, polygons as vertices and part
// offsets) and the ring arithmetic that writers need.
#include <cstdint>
#include <span>
#include <vector>

namespace pelmora {

struct TSFPoint {
  double X = 0;  // easting, metres; written first
  double Y = 0;  // northing, metres
  bool operator==(const TSFPoint&) const = default;
};

// Lines and polygons share one layout. Parts holds the index in Points of
// each part's first vertex; the converters build single-part objects and keep
// NumParts == Parts.size() and NumPoints == Points.size().
struct TSFShape {
  double Box[4] = {0, 0, 0, 0};  // room for a bounding box; nothing fills it
  int32_t NumParts = 0;
  int32_t NumPoints = 0;
  std::vector<int32_t> Parts;
  std::vector<TSFPoint> Points;

  // Makes the record a single part holding no vertices yet, keeping the
  // vectors' room for reuse.
  void ResetSinglePart() {
    NumParts = 1;
    NumPoints = 0;
    Parts.assign(1, 0);
    Points.clear();
  }
  // Makes the record an empty geometry: no part, no vertex.
  void ResetEmpty() {
    NumParts = 0;
    NumPoints = 0;
    Parts.clear();
    Points.clear();
  }
  void AddPoint(TSFPoint p) {
    Points.push_back(p);
    NumPoints = static_cast<int32_t>(Points.size());
  }
};

// A read-only look at a geometry's vertices and part offsets (as in
// TSFShape: the index of each part's first vertex) kept elsewhere: in a
// TSFShape, or in a layer kept in memory. Valid while that storage is.
struct ShapeView {
  std::span<const TSFPoint> points;
  std::span<const int32_t> parts;

  ShapeView() = default;
  ShapeView(std::span<const TSFPoint> points, std::span<const int32_t> parts)
      : points(points), parts(parts) {}
  // A shape is looked at wherever a view is wanted.
  ShapeView(const TSFShape& shape)  // NOLINT(google-explicit-constructor)
      : points(shape.Points), parts(shape.Parts) {}
};

struct TSFPolyLine : TSFShape {};
struct TSFPolygon : TSFShape {};

// Signed area of the closed ring through (xs[i], ys[i]): positive when the
// ring runs counter-clockwise with X to the right and Y upwards. 0 for fewer
// than three points or sequences of different length; -1 when the arithmetic
// overflows.
double SignedArea(const std::vector<double>& xs, const std::vector<double>& ys);

// How a single-part ring is to be written to have the clockwise orientation
// and closure that a MIF Region expects: a counter-clockwise ring reversed,
// and a ring whose last vertex differs from its first closed with a copy of
// the first. Rings of fewer than three vertices and multi-part polygons are
// written as they are.
struct RingOrder {
  bool reversed = false;
  bool closed_by_copy = false;
};
RingOrder ClockwiseClosedOrder(const TSFShape& polygon);

// Applies ClockwiseClosedOrder to the polygon in place.
void OrientRing(TSFPolygon& polygon);

}  // namespace pelmora
