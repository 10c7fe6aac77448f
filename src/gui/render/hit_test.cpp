#include "hit_test.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

namespace pelmora::render {
namespace {

// The vertex range [first, last) of part i.
std::pair<size_t, size_t> PartRange(ShapeView shape, size_t i) {
  size_t n = shape.points.size();
  size_t first = std::min(static_cast<size_t>(std::max(shape.parts[i], 0)), n);
  size_t last = i + 1 < shape.parts.size()
                    ? std::min(static_cast<size_t>(std::max(shape.parts[i + 1], 0)), n)
                    : n;
  return {first, std::max(first, last)};
}

// Parts as the shape gives them; a shape without part offsets is one part.
size_t PartCount(ShapeView shape) {
  return shape.parts.empty() ? 0 : shape.parts.size();
}

double SegmentDistance(TSFPoint a, TSFPoint b, TSFPoint p) {
  double dx = b.X - a.X, dy = b.Y - a.Y;
  double length2 = dx * dx + dy * dy;
  double t = length2 > 0 ? ((p.X - a.X) * dx + (p.Y - a.Y) * dy) / length2 : 0;
  t = std::clamp(t, 0.0, 1.0);
  return std::hypot(p.X - (a.X + t * dx), p.Y - (a.Y + t * dy));
}

template <typename Visit>
void ForEachPart(ShapeView shape, Visit visit) {
  if (shape.parts.empty()) {
    visit(size_t{0}, shape.points.size());
    return;
  }
  for (size_t i = 0; i < PartCount(shape); ++i) {
    auto [first, last] = PartRange(shape, i);
    visit(first, last);
  }
}

}  // namespace

bool InsideOddEven(ShapeView shape, TSFPoint p) {
  bool inside = false;
  ForEachPart(shape, [&](size_t first, size_t last) {
    if (last - first < 3) return;
    for (size_t i = first, j = last - 1; i < last; j = i++) {
      const TSFPoint& a = shape.points[i];
      const TSFPoint& b = shape.points[j];
      if ((a.Y > p.Y) != (b.Y > p.Y) && p.X < (b.X - a.X) * (p.Y - a.Y) / (b.Y - a.Y) + a.X)
        inside = !inside;
    }
  });
  return inside;
}

double DistanceToEdges(ShapeView shape, GeometryKind kind, TSFPoint p) {
  double best = std::numeric_limits<double>::infinity();
  ForEachPart(shape, [&](size_t first, size_t last) {
    if (first == last) return;
    best = std::min(best, SegmentDistance(shape.points[first], shape.points[first], p));
    for (size_t i = first + 1; i < last; ++i)
      best = std::min(best, SegmentDistance(shape.points[i - 1], shape.points[i], p));
    if (kind == GeometryKind::kPolygon && last - first > 2)
      best = std::min(best, SegmentDistance(shape.points[last - 1], shape.points[first], p));
  });
  return best;
}

bool HitsShape(ShapeView shape, GeometryKind kind, TSFPoint p, double tolerance) {
  if (kind == GeometryKind::kPolygon && InsideOddEven(shape, p)) return true;
  return DistanceToEdges(shape, kind, p) <= tolerance;
}

}  // namespace pelmora::render
