#pragma once
// Whether a point of the plane hits a feature's geometry: inside a polygon
// (its parts taken with the odd-even rule, so a hole is outside) or near its
// edge, near a line, near a point. Pure arithmetic on the stored geometry, so
// the window's click and the tests share it.
#include "core/features/feature.hpp"

namespace pelmora::render {

// A click within this many pixels of a line or point hits it.
inline constexpr double kClickTolerancePixels = 4;

// True when p lies inside the polygon by the odd-even rule over all parts.
bool InsideOddEven(ShapeView shape, TSFPoint p);

// The shortest distance from p to the shape's segments; a polygon's parts are
// taken as closed rings, a line's as open paths, a point as its vertex.
// Infinity for a shape without vertices.
double DistanceToEdges(ShapeView shape, GeometryKind kind, TSFPoint p);

// A polygon is hit inside or within tolerance of an edge; a line or a point
// within tolerance (metres).
bool HitsShape(ShapeView shape, GeometryKind kind, TSFPoint p, double tolerance);

}  // namespace pelmora::render
