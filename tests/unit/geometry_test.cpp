#include "core/features/geometry.hpp"

#include <gtest/gtest.h>

#include <limits>

namespace pelmora {
namespace {

TSFPolygon Ring(std::vector<TSFPoint> points) {
  TSFPolygon p;
  p.ResetSinglePart();
  for (auto pt : points) p.AddPoint(pt);
  return p;
}

TEST(SignedAreaTest, SignFollowsOrientation) {
  EXPECT_EQ(SignedArea({0, 10, 10, 0}, {0, 0, 10, 10}), 100);   // counter-clockwise
  EXPECT_EQ(SignedArea({0, 0, 10, 10}, {0, 10, 10, 0}), -100);  // clockwise
  EXPECT_EQ(SignedArea({0, 10}, {0, 0}), 0);                    // too few points
  EXPECT_EQ(SignedArea({0, 10, 10}, {0, 0}), 0);                // lengths differ
  EXPECT_EQ(SignedArea({0, 5, 10}, {0, 0, 0}), 0);              // collinear
  const double big = std::numeric_limits<double>::max();
  EXPECT_EQ(SignedArea({0, big, big}, {0, -big, big}), -1);  // overflow
}

TEST(OrientRingTest, ReversesCounterClockwiseAndCloses) {
  struct Case {
    std::vector<TSFPoint> in, out;
  };
  for (const auto& c : std::vector<Case>{
           // counter-clockwise square: reversed and closed
           {{{0, 0}, {10, 0}, {10, 10}, {0, 10}}, {{0, 10}, {10, 10}, {10, 0}, {0, 0}, {0, 10}}},
           // clockwise and closed: unchanged
           {{{0, 0}, {0, 10}, {10, 10}, {0, 0}}, {{0, 0}, {0, 10}, {10, 10}, {0, 0}}},
           // two vertices: neither reversed nor closed
           {{{0, 0}, {10, 0}}, {{0, 0}, {10, 0}}},
           // first and last differ only in Y: closed
           {{{0, 0}, {0, 10}, {10, 10}, {0, 1}}, {{0, 0}, {0, 10}, {10, 10}, {0, 1}, {0, 0}}},
           // no area: not reversed, still closed
           {{{0, 5}, {10, 5}, {10, 5}, {0, 5}}, {{0, 5}, {10, 5}, {10, 5}, {0, 5}}},
           {{{0, 5}, {10, 5}, {20, 5}}, {{0, 5}, {10, 5}, {20, 5}, {0, 5}}},
       }) {
    TSFPolygon p = Ring(c.in);
    OrientRing(p);
    EXPECT_EQ(p.Points, c.out);
    EXPECT_EQ(p.NumPoints, static_cast<int>(c.out.size()));
  }
}

TEST(OrientRingTest, LeavesMultiPartPolygonsAlone) {
  TSFPolygon p = Ring({{0, 0}, {10, 0}, {10, 10}});
  p.NumParts = 2;
  p.Parts = {0, 1};
  OrientRing(p);
  EXPECT_EQ(p.Points, (std::vector<TSFPoint>{{0, 0}, {10, 0}, {10, 10}}));
}

}  // namespace
}  // namespace pelmora
