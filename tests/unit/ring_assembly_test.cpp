// Polygons assembled from their arcs: each case is drawn, given as the arcs
// a polygon references (in reference order, a minus sign for an arc taken
// last vertex first) and checked against the rings expected, outer rings
// clockwise each followed by its holes counter-clockwise, and against the
// area of the outer rings minus the holes computed from the picture.
#include "core/features/ring_assembly.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

namespace pelmora {
namespace {

using Points = std::vector<TSFPoint>;

// Arcs of the pictures, by number. Squares are drawn with X to the right and
// Y upwards.
//
//   (0,10) +----3----+ (10,10)      the outer square: arcs 1, 2, 3, 4
//          |  +-9-+  |              (or 5 and 6, two halves) and the
//          4  |   |  2              square hole 9 from (3,3) to (7,7)
//          |  +---+  |
//    (0,0) +----1----+ (10,0)
const std::map<int, Points> kArcs = {
    {1, {{0, 0}, {10, 0}}},
    {2, {{10, 0}, {10, 10}}},
    {3, {{10, 10}, {0, 10}}},
    {4, {{0, 10}, {0, 0}}},
    {5, {{0, 0}, {10, 0}, {10, 10}}},               // 1 + 2
    {6, {{10, 10}, {0, 10}, {0, 0}}},               // 3 + 4
    {7, {{0, 0}, {0, 10}, {10, 10}}},               // 6 stored reversed
    {8, {{10, 10}, {1, 10}}},                       // 3 ending short: a gap
    {9, {{3, 3}, {3, 7}, {7, 7}, {7, 3}, {3, 3}}},  // the hole, clockwise
    // A second square, apart from the first: (20,0) to (30,10).
    {10, {{20, 0}, {30, 0}, {30, 10}, {20, 10}, {20, 0}}},
    //   +---------------+ (30,30)   island 11 (0..30) in which lies the
    //   |  +---------+  |           lake 12 (5..25) holding the island
    //   |  |  +---+  |  |           13 (10..20)
    //   |  |  +---+  |  |
    //   |  +---------+  |
    //   +---------------+
    {11, {{0, 0}, {30, 0}, {30, 30}, {0, 30}, {0, 0}}},
    {12, {{5, 5}, {25, 5}, {25, 25}, {5, 25}, {5, 5}}},
    {13, {{10, 10}, {20, 10}, {20, 20}, {10, 20}, {10, 10}}},
    //  (0,4) +---+ (4,4)    a ring touching itself at (2,2): arc 14 runs
    //         \ /           (0,0) (4,0) (2,2), arc 15 (2,2) (4,4) (0,4)
    //          X (2,2)      (2,2), arc 16 (2,2) (0,0)
    //         / \           .
    //  (0,0) +---+ (4,0)
    {14, {{0, 0}, {4, 0}, {2, 2}}},
    {15, {{2, 2}, {4, 4}, {0, 4}, {2, 2}}},
    {16, {{2, 2}, {0, 0}}},
};

// The clockwise outer square and counter-clockwise hole of the picture.
const Points kSquareCw = {{0, 0}, {0, 10}, {10, 10}, {10, 0}, {0, 0}};
const Points kHoleCcw = {{3, 3}, {7, 3}, {7, 7}, {3, 7}, {3, 3}};

struct Case {
  std::string name;
  std::vector<int> references;  // 0: an arc missing from the arc file
  std::vector<Points> rings;    // expected parts, in order
  int not_closed;
  double area;  // outer rings minus holes, from the picture
};

const std::vector<Case> kCases = {
    {"SquareInFourArcs", {1, 2, 3, 4}, {kSquareCw}, 0, 100},
    {"HoleReferencedLast", {5, 6, 9}, {kSquareCw, kHoleCcw}, 0, 84},
    {"HoleReferencedFirst", {9, 5, 6}, {kSquareCw, kHoleCcw}, 0, 84},
    {"ReversedArc", {5, -7}, {kSquareCw}, 0, 100},
    {"AllReversed", {-4, -3, -2, -1}, {kSquareCw}, 0, 100},
    {"ReferencesOutOfOrder", {1, 3, 2, 4}, {kSquareCw}, 0, 100},
    {"OutOfOrderAndReversed",
     {3, -1, 4, -2},
     {{{10, 10}, {10, 0}, {0, 0}, {0, 10}, {10, 10}}},
     0,
     100},
    {"TwoDisjointSquares",
     {5, 6, 10},
     {kSquareCw, {{20, 0}, {20, 10}, {30, 10}, {30, 0}, {20, 0}}},
     0,
     200},
    {"IslandInALakeInAnIsland",
     {13, 11, 12},
     {{{10, 10}, {10, 20}, {20, 20}, {20, 10}, {10, 10}},
      {{0, 0}, {0, 30}, {30, 30}, {30, 0}, {0, 0}},
      {{5, 5}, {25, 5}, {25, 25}, {5, 25}, {5, 5}}},
     0,
     900 - 400 + 100},
    // The ring goes on through (2,2) and ends at its first vertex: one ring
    // of two lobes, the touching vertex kept twice.
    {"RingTouchingItselfAtOnePoint",
     {14, 15, 16},
     {{{0, 0}, {2, 2}, {0, 4}, {4, 4}, {2, 2}, {4, 0}, {0, 0}}},
     0,
     8},
    // Arc 8 stops at (1,10): the ring goes on from its start with arc 4
    // reversed and is closed over the gap with its first vertex.
    {"Gap", {1, 2, 8, 4}, {{{1, 10}, {10, 10}, {10, 0}, {0, 0}, {0, 10}, {1, 10}}}, 1, 100},
    // The second reference of arc 2 would only run back over the first: it
    // is left over and makes a ring of its own that does not close.
    {"ArcReferencedTwice", {1, 2, 2, 3, 4}, {kSquareCw, {{10, 10}, {10, 0}, {10, 10}}}, 1, 100},
    {"MissingArcBetweenOthers", {1, 2, 0, 3, 4}, {kSquareCw}, 0, 100},
    // Without arc 3 the ring cannot go on from (10,10): it goes on from its
    // start (0,0) with arc 4 and is closed over the missing side.
    {"MissingSideOfTheSquare",
     {1, 2, 0, 4},
     {{{10, 10}, {10, 0}, {0, 0}, {0, 10}, {10, 10}}},
     1,
     100},
    {"NothingFound", {0, 0}, {}, 0, 0},
};

// Signed area of a closed ring by the trapezoid rule, positive
// counter-clockwise.
double TrapezoidArea(const Points& ring) {
  double sum = 0;
  for (size_t i = 0; i + 1 < ring.size(); ++i) {
    sum += (ring[i].X - ring[i + 1].X) * (ring[i].Y + ring[i + 1].Y);
  }
  return sum / 2;
}

std::vector<Points> PartsOf(const TSFShape& shape) {
  std::vector<Points> parts;
  for (size_t k = 0; k < shape.Parts.size(); ++k) {
    const size_t end = k + 1 < shape.Parts.size() ? shape.Parts[k + 1] : shape.Points.size();
    parts.emplace_back(shape.Points.begin() + shape.Parts[k], shape.Points.begin() + end);
  }
  return parts;
}

std::string Text(const std::vector<Points>& rings) {
  std::string text;
  for (const Points& ring : rings) {
    for (const TSFPoint& p : ring) {
      text += "(" + std::to_string(int(p.X)) + "," + std::to_string(int(p.Y)) + ")";
    }
    text += "\n";
  }
  return text;
}

class RingAssemblyTest : public testing::TestWithParam<Case> {};

TEST_P(RingAssemblyTest, RingsHolesAndArea) {
  const Case& c = GetParam();
  Points points;
  std::vector<size_t> arc_ends;
  for (int reference : c.references) {
    if (reference != 0) {
      const Points& arc = kArcs.at(std::abs(reference));
      if (reference > 0) points.insert(points.end(), arc.begin(), arc.end());
      if (reference < 0) points.insert(points.end(), arc.rbegin(), arc.rend());
    }
    arc_ends.push_back(points.size());
  }
  TSFShape out;
  out.ResetSinglePart();  // what the converter hands over: to be replaced
  const AssemblyResult result = AssembleRings(points, arc_ends, out);
  EXPECT_EQ(Text(PartsOf(out)), Text(c.rings));
  EXPECT_EQ(result.rings_not_closed, c.not_closed);
  EXPECT_EQ(out.NumParts, static_cast<int32_t>(out.Parts.size()));
  EXPECT_EQ(out.NumPoints, static_cast<int32_t>(out.Points.size()));
  // Clockwise outer rings give negative areas, counter-clockwise holes
  // positive ones: the polygon's area is minus their sum.
  double area = 0;
  for (const Points& ring : PartsOf(out)) area -= TrapezoidArea(ring);
  EXPECT_DOUBLE_EQ(area, c.area);
}

INSTANTIATE_TEST_SUITE_P(Pictures, RingAssemblyTest, testing::ValuesIn(kCases),
                         [](const auto& info) { return info.param.name; });

// A square whose 4n unit arcs are referenced in a scrambled order, every
// other one reversed: one clockwise ring of every vertex once.
TEST(RingAssembly, ScrambledArcsOfALargeRingMakeOneRing) {
  constexpr int n = 250;
  Points corners;  // counter-clockwise round the square (0,0)-(n,n)
  for (int i = 0; i < n; ++i) corners.push_back({double(i), 0});
  for (int i = 0; i < n; ++i) corners.push_back({double(n), double(i)});
  for (int i = n; i > 0; --i) corners.push_back({double(i), double(n)});
  for (int i = n; i > 0; --i) corners.push_back({0, double(i)});
  const size_t arcs = corners.size();
  Points points;
  std::vector<size_t> arc_ends;
  for (size_t k = 0; k < arcs; ++k) {
    const size_t a = (k * 7919) % arcs;  // 7919 is prime to 4n: every arc once
    TSFPoint from = corners[a], to = corners[(a + 1) % arcs];
    if (k % 2 == 1) std::swap(from, to);
    points.push_back(from);
    points.push_back(to);
    arc_ends.push_back(points.size());
  }
  TSFShape out;
  const AssemblyResult result = AssembleRings(points, arc_ends, out);
  EXPECT_EQ(result.rings_not_closed, 0);
  ASSERT_EQ(out.NumParts, 1);
  EXPECT_EQ(out.NumPoints, static_cast<int32_t>(arcs + 1));
  EXPECT_DOUBLE_EQ(-TrapezoidArea(out.Points), double(n) * n);
}

}  // namespace
}  // namespace pelmora
