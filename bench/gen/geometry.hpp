#pragma once
// Plane geometry of the generated data, in whole millimetres relative to the
// sheet origin (integers keep every machine's output identical).
#include <cstdint>
#include <vector>

namespace pelmora::gen {

struct Pt {
  int64_t n = 0;  // northing
  int64_t e = 0;  // easting
  bool operator==(const Pt&) const = default;
};

using Polyline = std::vector<Pt>;

struct Box {
  int64_t n0 = 0, e0 = 0, n1 = 0, e1 = 0;  // south, west, north, east
  int64_t Width() const { return e1 - e0; }
  int64_t Height() const { return n1 - n0; }
  Pt Centre() const { return {(n0 + n1) / 2, (e0 + e1) / 2}; }
};

constexpr int64_t kMetre = 1000;

inline Polyline Reversed(Polyline line) {
  return Polyline(line.rbegin(), line.rend());
}

}  // namespace pelmora::gen
