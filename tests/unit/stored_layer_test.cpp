// A layer kept in memory gives back every feature as it was added: geometry,
// values of any length and bytes, and place, whatever came before it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/output/memory_writer.hpp"

namespace pelmora {
namespace {

struct Case {
  const char* what;
  std::vector<TSFPoint> points;
  std::vector<int32_t> parts;
  std::vector<std::string> values;
  std::string file;
  int line;
};

std::vector<Case> Cases() {
  const std::string sjis = "\x93\x8c\x8b\x9e\x93\x73";  // bytes of 0x80 and above
  return {
      {"a point", {{1.5, -2}}, {0}, {"13101", "", "x"}, "13101/kijunten/kijunten.pnt", 2},
      {"an empty line", {}, {}, {"a", "b"}, "13101/road/roadntwk.arc", 7},
      {"a polygon with a hole",
       {{0, 0}, {0, 9}, {9, 9}, {9, 0}, {0, 0}, {3, 3}, {6, 3}, {6, 6}, {3, 3}},
       {0, 5},
       {sjis, std::string(127, 'a')},
       "13102/gaiku/gaiku.pgn",
       40},
      {"values of several length bytes",
       {{3, 4}, {5, 6}},
       {0},
       {std::string(128, 'b'), std::string(20000, 'c'), std::string("\0\x80", 2)},
       "13102/gaiku/gaiku.pgn",
       41},
      {"no values", {{7, 8}, {9, 10}}, {0}, {}, "13101/road/roadntwk.arc", 9},
      {"parts as a writer got them", {{1, 1}, {2, 2}}, {0, 99, -5}, {"v"}, "", 0},
  };
}

void ExpectSame(const StoredLayer& layer, size_t f, const Case& c) {
  SCOPED_TRACE(c.what);
  ShapeView shape = layer.Geometry(f);
  EXPECT_EQ(std::vector<TSFPoint>(shape.points.begin(), shape.points.end()), c.points);
  EXPECT_EQ(std::vector<int32_t>(shape.parts.begin(), shape.parts.end()), c.parts);
  ASSERT_EQ(layer.ValueCount(f), c.values.size());
  for (size_t v = 0; v < c.values.size(); ++v) EXPECT_EQ(layer.Value(f, v), c.values[v]) << v;
  EXPECT_EQ(layer.Value(f, c.values.size()), "") << "a column past the feature's values";
  EXPECT_EQ(layer.File(f), c.file);
  EXPECT_EQ(layer.Line(f), c.line);

  Feature back;
  back.values = {"left over"};
  back.geometry.AddPoint({99, 99});
  layer.Get(f, back);
  EXPECT_EQ(back.geometry.Points, c.points);
  EXPECT_EQ(back.geometry.Parts, c.parts);
  EXPECT_EQ(back.geometry.NumPoints, static_cast<int32_t>(c.points.size()));
  EXPECT_EQ(back.geometry.NumParts, static_cast<int32_t>(c.parts.size()));
  EXPECT_EQ(std::vector<std::string>(back.values.begin(), back.values.end()), c.values);
  EXPECT_EQ(back.place.file, c.file);
  EXPECT_EQ(back.place.line, c.line);
}

TEST(StoredLayer, GivesBackEachFeatureAsAdded) {
  const std::vector<Case> cases = Cases();
  StoredLayer layer;
  EXPECT_TRUE(layer.empty());
  // Each case twice, the second round in another order of files, so that a
  // file met again after others is told right.
  for (int round = 0; round < 2; ++round) {
    for (const Case& c : cases) {
      Feature feature;
      feature.geometry.Points = c.points;
      feature.geometry.Parts = c.parts;
      feature.geometry.NumPoints = static_cast<int32_t>(c.points.size());
      feature.geometry.NumParts = static_cast<int32_t>(c.parts.size());
      feature.values.assign(c.values.begin(), c.values.end());
      std::string file = c.file;  // the writer's views end with the feature
      feature.place = {file, c.line};
      layer.Add(feature);
      file.assign(file.size(), '?');
    }
  }
  ASSERT_EQ(layer.size(), 2 * cases.size());
  size_t vertices = 0;
  for (const Case& c : cases) vertices += c.points.size();
  EXPECT_EQ(layer.VertexCount(), 2 * vertices);
  for (size_t f = 0; f < layer.size(); ++f) ExpectSame(layer, f, cases[f % cases.size()]);

  StoredLayer copy = layer;  // what FeatureStore::Layers hands out
  layer = StoredLayer();
  for (size_t f = 0; f < copy.size(); ++f) ExpectSame(copy, f, cases[f % cases.size()]);
}

}  // namespace
}  // namespace pelmora
