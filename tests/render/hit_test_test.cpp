#include "hit_test.hpp"

#include <gtest/gtest.h>

namespace pelmora::render {
namespace {

TSFShape Shape(std::vector<std::vector<TSFPoint>> parts) {
  TSFShape shape;
  for (const auto& part : parts) {
    shape.Parts.push_back(static_cast<int32_t>(shape.Points.size()));
    for (TSFPoint p : part) shape.AddPoint(p);
  }
  shape.NumParts = static_cast<int32_t>(shape.Parts.size());
  return shape;
}

// A 10 m square with a 4 m square hole in its middle, the outer ring closed
// by a repeated first vertex and the hole left open, as both occur in data.
const TSFShape kSquareWithHole =
    Shape({{{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}}, {{3, 3}, {7, 3}, {7, 7}, {3, 7}}});
const TSFShape kRoad = Shape({{{0, 0}, {10, 0}, {10, 10}}});
const TSFShape kStation = Shape({{{5, 5}}});

TEST(HitTest, PointsAgainstPolygonsLinesAndPoints) {
  struct Case {
    const char* what;
    const TSFShape& shape;
    GeometryKind kind;
    TSFPoint p;
    bool hit;
  };
  const GeometryKind kPolygon = GeometryKind::kPolygon, kLine = GeometryKind::kLine,
                     kPoint = GeometryKind::kPoint;
  for (const Case& c : std::vector<Case>{
           {"inside the ring", kSquareWithHole, kPolygon, {1, 1}, true},
           {"on the outer edge", kSquareWithHole, kPolygon, {10, 5}, true},
           {"on a corner", kSquareWithHole, kPolygon, {0, 10}, true},
           {"just outside, within tolerance", kSquareWithHole, kPolygon, {10.4, 5}, true},
           {"outside", kSquareWithHole, kPolygon, {12, 5}, false},
           {"inside the hole", kSquareWithHole, kPolygon, {5, 5}, false},
           {"on the hole's edge", kSquareWithHole, kPolygon, {3, 5}, true},
           {"on the hole's closing edge", kSquareWithHole, kPolygon, {3.2, 5}, true},
           {"near a line", kRoad, kLine, {5, 0.3}, true},
           {"on a line's vertex", kRoad, kLine, {10, 10}, true},
           {"beside a line's open end", kRoad, kLine, {5, 5}, false},
           {"inside the bend of a line", kRoad, kLine, {9, 1}, false},
           {"near a point", kStation, kPoint, {5.3, 5.3}, true},
           {"away from a point", kStation, kPoint, {6, 6}, false},
       }) {
    EXPECT_EQ(HitsShape(c.shape, c.kind, c.p, 0.5), c.hit) << c.what;
  }
}

TEST(HitTest, OddEvenRuleOverParts) {
  // Two overlapping rings: the overlap counts twice and is outside.
  TSFShape overlap = Shape({{{0, 0}, {4, 0}, {4, 4}, {0, 4}}, {{2, 2}, {6, 2}, {6, 6}, {2, 6}}});
  EXPECT_TRUE(InsideOddEven(overlap, {1, 1}));
  EXPECT_FALSE(InsideOddEven(overlap, {3, 3}));
  EXPECT_TRUE(InsideOddEven(overlap, {5, 5}));
}

TEST(HitTest, MalformedShapesHitNothingAndDoNotCrash) {
  TSFShape empty;
  EXPECT_FALSE(HitsShape(empty, GeometryKind::kPolygon, {0, 0}, 1));
  TSFShape bad_parts = Shape({{{0, 0}, {1, 0}, {1, 1}}});
  bad_parts.Parts = {0, 99, -5};  // offsets beyond the vertices
  EXPECT_NO_FATAL_FAILURE(HitsShape(bad_parts, GeometryKind::kPolygon, {0.5, 0.2}, 0.1));
  TSFShape two_points = Shape({{{0, 0}, {1, 0}}});
  EXPECT_FALSE(InsideOddEven(two_points, {0.5, 0}));
  EXPECT_TRUE(HitsShape(two_points, GeometryKind::kPolygon, {0.5, 0}, 0.1));
}

}  // namespace
}  // namespace pelmora::render
