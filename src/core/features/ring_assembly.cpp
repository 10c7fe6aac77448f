#include "ring_assembly.hpp"

#include <algorithm>
#include <cmath>
#include <optional>

namespace pelmora {
namespace {

using Ring = std::vector<TSFPoint>;

// One arc's vertices: points[begin] to points[end - 1].
struct Arc {
  size_t begin = 0, end = 0;
};

// The arcs that brought vertices; an arc missing from the arc file brought
// none and takes no part.
std::vector<Arc> ArcsOf(const std::vector<size_t>& arc_ends) {
  std::vector<Arc> arcs;
  size_t begin = 0;
  for (size_t end : arc_ends) {
    if (end > begin) arcs.push_back({begin, end});
    begin = end;
  }
  return arcs;
}

class RingChainer {
 public:
  RingChainer(const std::vector<TSFPoint>& points, std::vector<Arc> arcs)
      : points_(points), arcs_(std::move(arcs)), used_(arcs_.size(), false) {}

  // Builds the next ring from the first arc not yet used; false when every
  // arc is used. closed tells whether the arcs returned to the first vertex.
  bool Next(Ring& ring, bool& closed) {
    while (first_unused_ < arcs_.size() && used_[first_unused_]) ++first_unused_;
    if (first_unused_ == arcs_.size()) return false;
    const size_t first = first_unused_;
    ring.clear();
    Append(first, false, ring);
    bool turned = false;
    while (ring.size() < 2 || !(ring.back() == ring.front())) {
      bool reversed = false;
      std::optional<size_t> next = Continuation(last_ + 1, ring.back(), reversed);
      if (next) {
        Append(*next, reversed, ring);
      } else if (!turned) {
        // Nothing goes on from the end: the ring is continued from its
        // start, so that one gap leaves one ring.
        std::reverse(ring.begin(), ring.end());
        turned = true;
        last_ = first;
        last_reversed_ = true;
      } else {
        closed = false;
        ring.push_back(ring.front());
        return true;
      }
    }
    closed = true;
    return true;
  }

 private:
  size_t Size(size_t k) const { return arcs_[k].end - arcs_[k].begin; }
  // Vertex i of arc k taken in the given direction.
  const TSFPoint& At(size_t k, bool reversed, size_t i) const {
    return points_[reversed ? arcs_[k].end - 1 - i : arcs_[k].begin + i];
  }
  const TSFPoint& Start(size_t k, bool reversed) const { return At(k, reversed, 0); }

  // Whether arc k would only run back over the arc just added, as an arc
  // referenced twice in a row does: it is then no continuation.
  bool Retraces(size_t k, bool reversed) const {
    const size_t n = Size(k);
    if (n != Size(last_)) return false;
    for (size_t i = 0; i < n; ++i) {
      if (!(At(k, reversed, i) == At(last_, last_reversed_, n - 1 - i))) return false;
    }
    return true;
  }

  // The unused arc that goes on from `end`: the arc after the last one in
  // reference order when it does, otherwise the first in reference order
  // that does, forwards before reversed.
  std::optional<size_t> Continuation(size_t preferred, const TSFPoint& end, bool& reversed) {
    if (preferred < arcs_.size() && !used_[preferred]) {
      for (bool backwards : {false, true}) {
        if (Start(preferred, backwards) == end && !Retraces(preferred, backwards)) {
          reversed = backwards;
          return preferred;
        }
      }
    }
    IndexStarts();
    auto it = std::lower_bound(starts_.begin(), starts_.end(), ArcStart{end, 0, false}, Before);
    for (; it != starts_.end() && it->at == end; ++it) {
      if (!used_[it->arc] && !Retraces(it->arc, it->reversed)) {
        reversed = it->reversed;
        return it->arc;
      }
    }
    return std::nullopt;
  }

  // Where each arc starts, taken forwards and reversed, sorted by point and
  // then reference order: the search for a continuation takes a logarithm
  // of the number of arcs, not the number, however the references are
  // ordered.
  struct ArcStart {
    TSFPoint at;
    size_t arc;
    bool reversed;
  };
  static bool Before(const ArcStart& a, const ArcStart& b) {
    if (a.at.X != b.at.X) return a.at.X < b.at.X;
    if (a.at.Y != b.at.Y) return a.at.Y < b.at.Y;
    return a.arc != b.arc ? a.arc < b.arc : a.reversed < b.reversed;
  }
  void IndexStarts() {
    if (!starts_.empty()) return;
    starts_.reserve(2 * arcs_.size());
    for (size_t k = 0; k < arcs_.size(); ++k) {
      for (bool backwards : {false, true}) starts_.push_back({Start(k, backwards), k, backwards});
    }
    std::sort(starts_.begin(), starts_.end(), Before);
  }

  // Adds arc k to the ring; its first vertex is left out when it is the
  // joint with the ring's end.
  void Append(size_t k, bool reversed, Ring& ring) {
    used_[k] = true;
    last_ = k;
    last_reversed_ = reversed;
    const Arc arc = arcs_[k];
    const bool joint = !ring.empty() && ring.back() == Start(k, reversed);
    const size_t skip = joint ? 1 : 0;
    if (!reversed) {
      ring.insert(ring.end(), points_.begin() + arc.begin + skip, points_.begin() + arc.end);
    } else {
      for (size_t i = arc.end - skip; i-- > arc.begin;) ring.push_back(points_[i]);
    }
  }

  const std::vector<TSFPoint>& points_;
  std::vector<Arc> arcs_;
  std::vector<bool> used_;
  std::vector<ArcStart> starts_;  // built when first needed
  size_t first_unused_ = 0;
  size_t last_ = 0;  // the arc added last, and its direction
  bool last_reversed_ = false;
};

// Signed area of a closed ring, positive counter-clockwise.
double RingArea(const Ring& ring) {
  double sum = 0;
  for (size_t i = 0; i + 1 < ring.size(); ++i) {
    sum += ring[i].X * ring[i + 1].Y - ring[i + 1].X * ring[i].Y;
  }
  return sum / 2;
}

enum class Side { kInside, kOutside, kBoundary };

// Where p lies against the closed ring (crossing count; a point on an edge
// is on the boundary).
Side SideOf(const Ring& ring, const TSFPoint& p) {
  bool inside = false;
  for (size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
    const TSFPoint& a = ring[i];
    const TSFPoint& b = ring[j];
    const double cross = (b.X - a.X) * (p.Y - a.Y) - (b.Y - a.Y) * (p.X - a.X);
    if (cross == 0 && std::min(a.X, b.X) <= p.X && p.X <= std::max(a.X, b.X) &&
        std::min(a.Y, b.Y) <= p.Y && p.Y <= std::max(a.Y, b.Y)) {
      return Side::kBoundary;
    }
    if ((a.Y > p.Y) != (b.Y > p.Y) && p.X < (b.X - a.X) * (p.Y - a.Y) / (b.Y - a.Y) + a.X) {
      inside = !inside;
    }
  }
  return inside ? Side::kInside : Side::kOutside;
}

// Whether inner lies inside outer: decided by its first vertex off outer's
// boundary; a ring wholly on the other's boundary is not inside it.
bool RingInside(const Ring& inner, const Ring& outer) {
  for (const TSFPoint& p : inner) {
    const Side side = SideOf(outer, p);
    if (side != Side::kBoundary) return side == Side::kInside;
  }
  return false;
}

struct Box {
  double min_x = INFINITY, min_y = INFINITY, max_x = -INFINITY, max_y = -INFINITY;
  bool Holds(const Box& b) const {
    return min_x <= b.min_x && min_y <= b.min_y && b.max_x <= max_x && b.max_y <= max_y;
  }
};

Box BoxOf(const Ring& ring) {
  Box box;
  for (const TSFPoint& p : ring) {
    box.min_x = std::min(box.min_x, p.X);
    box.min_y = std::min(box.min_y, p.Y);
    box.max_x = std::max(box.max_x, p.X);
    box.max_y = std::max(box.max_y, p.Y);
  }
  return box;
}

struct NestedRing {
  Ring points;
  double area = 0;  // absolute
  Box box;
  int parent = -1;  // the smallest ring containing it
  int depth = 0;    // rings containing it: even for outer rings, odd for holes
};

// Finds each ring's parent; only a larger ring whose box holds the ring's
// box is tested vertex by vertex.
void Nest(std::vector<NestedRing>& rings) {
  for (size_t i = 0; i < rings.size(); ++i) {
    for (size_t j = 0; j < rings.size(); ++j) {
      if (j == i || rings[j].area <= rings[i].area || !rings[j].box.Holds(rings[i].box)) continue;
      const int parent = rings[i].parent;
      if (parent >= 0 && rings[parent].area <= rings[j].area) continue;
      if (RingInside(rings[i].points, rings[j].points)) rings[i].parent = static_cast<int>(j);
    }
  }
  // A parent is larger than its child, so following parents ends.
  for (auto& ring : rings) {
    for (int p = ring.parent; p >= 0; p = rings[p].parent) ++ring.depth;
  }
}

// Appends the ring as a part of out, clockwise or counter-clockwise.
void AppendPart(const Ring& ring, bool clockwise, TSFShape& out) {
  out.Parts.push_back(static_cast<int32_t>(out.Points.size()));
  const bool is_clockwise = RingArea(ring) <= 0;
  if (is_clockwise == clockwise) {
    out.Points.insert(out.Points.end(), ring.begin(), ring.end());
  } else {
    out.Points.insert(out.Points.end(), ring.rbegin(), ring.rend());
  }
}

void WriteParts(const std::vector<NestedRing>& rings, TSFShape& out) {
  out.ResetEmpty();
  for (size_t i = 0; i < rings.size(); ++i) {
    if (rings[i].depth % 2 != 0) continue;
    AppendPart(rings[i].points, true, out);
    for (const NestedRing& hole : rings) {
      if (hole.depth % 2 != 0 && hole.parent == static_cast<int>(i)) {
        AppendPart(hole.points, false, out);
      }
    }
  }
  out.NumParts = static_cast<int32_t>(out.Parts.size());
  out.NumPoints = static_cast<int32_t>(out.Points.size());
}

}  // namespace

AssemblyResult AssembleRings(const std::vector<TSFPoint>& points,
                             const std::vector<size_t>& arc_ends, TSFShape& out) {
  AssemblyResult result;
  RingChainer chainer(points, ArcsOf(arc_ends));
  std::vector<NestedRing> rings;
  Ring ring;
  bool closed = true;
  while (chainer.Next(ring, closed)) {
    if (!closed) ++result.rings_not_closed;
    rings.push_back({ring, std::abs(RingArea(ring)), BoxOf(ring)});
  }
  if (rings.size() > 1) Nest(rings);
  WriteParts(rings, out);
  return result;
}

}  // namespace pelmora
