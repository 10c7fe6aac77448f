#include "geometry.hpp"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace pelmora {
namespace {

// The shoelace sum over n points given by accessors, so that regions need no
// copy of their coordinates.
template <typename GetX, typename GetY>
double ShoelaceArea(size_t n, GetX x, GetY y) {
  if (n < 3) return 0;
  double sum = 0;
  for (size_t i = 0; i < n; ++i) {
    size_t next = i + 1 == n ? 0 : i + 1;
    size_t prev = i == 0 ? n - 1 : i - 1;
    sum += x(i) * (y(next) - y(prev));
  }
  double area = sum / 2;
  return std::isfinite(area) ? area : -1;
}

}  // namespace

double SignedArea(const std::vector<double>& xs, const std::vector<double>& ys) {
  if (ys.size() != xs.size()) return 0;
  return ShoelaceArea(
      xs.size(), [&](size_t i) { return xs[i]; }, [&](size_t i) { return ys[i]; });
}

RingOrder ClockwiseClosedOrder(const TSFShape& polygon) {
  RingOrder order;
  if (polygon.NumParts > 1 || polygon.NumPoints < 3) return order;
  const auto n = static_cast<size_t>(polygon.NumPoints);
  const auto& points = polygon.Points;
  double area = ShoelaceArea(
      n, [&](size_t i) { return points[i].X; }, [&](size_t i) { return points[i].Y; });
  order.reversed = area > 0;
  // Reversing swaps first and last, so whether they differ does not change.
  order.closed_by_copy = points[0].X != points[n - 1].X || points[0].Y != points[n - 1].Y;
  return order;
}

void OrientRing(TSFPolygon& polygon) {
  const RingOrder order = ClockwiseClosedOrder(polygon);
  const auto n = static_cast<size_t>(polygon.NumPoints);
  if (order.reversed) {
    std::reverse(polygon.Points.begin(), polygon.Points.begin() + static_cast<std::ptrdiff_t>(n));
  }
  if (order.closed_by_copy) {
    const TSFPoint first = polygon.Points.front();
    polygon.Points.resize(n);
    polygon.Points.push_back(first);
    polygon.NumPoints = static_cast<int32_t>(n + 1);
  }
}

}  // namespace pelmora
