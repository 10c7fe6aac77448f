// Reprojection (--t_srs): the exact paths against PROJ's own cs2cs, a grid
// given with --grid, the approximation accepted with --allow-approximate,
// and the settings refused before any file is touched.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "../e2e/cli_runner.hpp"
#include "gdal_read_back.hpp"
#include "proj_tools.hpp"

namespace pelmora::testing_support {
namespace {

const std::string kSample = std::string(PELMORA_SOURCE_DIR) + "/samples/mapdata";
// A few points (control points) and polygons (the sheet's frame).
const std::string kLayers = "kijunten,zukaku";

std::vector<double> AllVertices(const std::vector<ReadLayer>& layers) {
  std::vector<double> xy;
  for (const ReadLayer& layer : layers) {
    for (const ReadFeature& feature : layer.features) {
      xy.insert(xy.end(), feature.xy.begin(), feature.xy.end());
    }
  }
  return xy;
}

class ReprojectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(FindCs2cs().empty())
        << "cs2cs is missing: install proj-bin (scripts/install-deps)";
  }

  CliResult Run(std::vector<std::string> args) { return RunCli(args, tree_.root()); }

  // The sample's vertices as converted into folder with extra arguments,
  // after checking every layer declares epsg.
  std::vector<double> Convert(const std::string& folder, std::vector<std::string> extra,
                              const std::string& epsg) {
    tree_.MakeDir(folder);
    std::vector<std::string> args = {"-q", "-f", "GeoJSON", "--layers", kLayers};
    args.insert(args.end(), extra.begin(), extra.end());
    args.insert(args.end(), {"-o", tree_.Path(folder), kSample});
    CliResult r = Run(args);
    EXPECT_EQ(r.status, 0) << r.err;
    std::vector<ReadLayer> layers = ReadDataset(tree_.Path(folder));
    for (const ReadLayer& layer : layers) EXPECT_EQ(layer.epsg, epsg) << layer.name;
    return AllVertices(layers);
  }

  // The sample reprojected from zone entry coordsys into target equals what
  // cs2cs makes of the same vertices, within tolerance.
  void ExpectAsCs2cs(int coordsys, int source_epsg, const std::string& target, double tolerance,
                     std::vector<std::string> extra = {}, const std::string& proj_data = {}) {
    const std::string source = "EPSG:" + std::to_string(source_epsg);
    SCOPED_TRACE(source + " -> " + target);
    const std::string index = std::to_string(coordsys);
    const std::vector<double> plain =
        Convert("plain" + index, {"--coordsys", index}, std::to_string(source_epsg));
    extra.insert(extra.end(), {"--coordsys", index, "--t_srs", target});
    const std::string folder = "to" + index + "-" + target.substr(target.find(':') + 1);
    const std::vector<double> moved = Convert(folder, extra, target.substr(target.find(':') + 1));
    const std::vector<double> expected = Cs2cs(source, target, plain, proj_data);
    ASSERT_FALSE(plain.empty());
    ASSERT_EQ(expected.size(), plain.size()) << "cs2cs failed";
    ASSERT_EQ(moved.size(), plain.size());
    for (size_t i = 0; i < moved.size(); ++i) ASSERT_NEAR(moved[i], expected[i], tolerance) << i;
  }

  TempTree tree_;
};

TEST_F(ReprojectionTest, EveryJgd2000ZoneToLongitudeLatitudeIsAsCs2cs) {
  for (int zone = 0; zone < 19; ++zone) ExpectAsCs2cs(zone, 2443 + zone, "EPSG:4612", 1e-9);
}

TEST_F(ReprojectionTest, ZoneToZoneWithinOneDatumIsAsCs2cs) {
  struct Case {
    int coordsys, epsg;
    std::string target;
  };
  for (const Case& c : std::vector<Case>{{0, 2443, "EPSG:2444"},
                                         {8, 2451, "EPSG:2452"},
                                         {8, 2451, "EPSG:2450"},
                                         {12, 2455, "EPSG:2454"},
                                         {27, 30169, "EPSG:30168"}}) {
    ExpectAsCs2cs(c.coordsys, c.epsg, c.target, 1e-6);
  }
  // Tokyo zone to Tokyo longitude/latitude stays on one datum too.
  ExpectAsCs2cs(27, 30169, "EPSG:4301", 1e-9);
}

// A grid named as PROJ's operation names it is used; cs2cs, finding the same
// grid on its search path, prefers it to its Helmert fallback.
TEST_F(ReprojectionTest, TokyoToJgd2000WithAGridIsAsCs2csWithThatGrid) {
  tree_.MakeDir("grids");
  WriteNtv2Grid(tree_.Path("grids/tky2jgd.gsb"), 138, 34, 141, 37, -12.0, 11.5);
  ExpectAsCs2cs(27, 30169, "EPSG:2451", 1e-6, {"--grid", tree_.Path("grids/tky2jgd.gsb")},
                tree_.Path("grids"));
}

// Accepted approximations run with one warning of their accuracy, and do
// what PROJ does without the grid.
TEST_F(ReprojectionTest, AllowApproximateWarnsOfTheAccuracyOnce) {
  struct Case {
    int coordsys, epsg;
    std::string target, accuracy;
  };
  for (const Case& c : std::vector<Case>{{27, 30169, "EPSG:2451", "精度 9 m"},
                                         {8, 2451, "EPSG:6677", "精度 1 m"}}) {
    ExpectAsCs2cs(c.coordsys, c.epsg, c.target, 1e-6, {"--allow-approximate"});
    tree_.MakeDir("warned");
    CliResult r = Run({"-q", "-f", "GeoJSON", "--layers", kLayers, "--coordsys",
                       std::to_string(c.coordsys), "--t_srs", c.target, "--allow-approximate",
                       "--report", tree_.Path("warned.json"), "-o", tree_.Path("warned"), kSample});
    ASSERT_EQ(r.status, 0) << r.err;
    // The report counts it under its own kind, not under another's.
    const std::string report = TempTree::ReadFile(tree_.Path("warned.json"));
    EXPECT_NE(report.find("\"approximate_transformation\": 1"), std::string::npos) << report;
    EXPECT_EQ(report.find("missing_arc"), std::string::npos) << report;
    EXPECT_EQ(r.err.find("警告: 測地系をグリッドファイルなしで近似変換します: EPSG:" +
                         std::to_string(c.epsg)),
              0u)
        << r.err;
    EXPECT_NE(r.err.find(c.accuracy), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("近似変換", r.err.find("近似変換") + 1), std::string::npos) << r.err;
  }
}

TEST_F(ReprojectionTest, ReadBackDeclaresTheTargetEpsg) {
  for (const std::string& format : {"GPKG", "GeoJSON", "FlatGeobuf"}) {
    SCOPED_TRACE(format);
    const bool one_file = format == "GPKG";
    const std::string output = tree_.Path(format + (one_file ? ".gpkg" : ""));
    if (!one_file) tree_.MakeDir(format);
    CliResult r = Run({"-q", "-f", format, "--layers", kLayers, "--coordsys", "8", "--t_srs",
                       "EPSG:4612", "-o", output, kSample});
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<ReadLayer> layers = ReadDataset(output);
    ASSERT_EQ(layers.size(), 2u);
    for (const ReadLayer& layer : layers) {
      EXPECT_EQ(layer.epsg, "4612") << layer.name;
      for (const ReadFeature& f : layer.features) {
        EXPECT_TRUE(f.min_x > 139 && f.max_x < 140.5 && f.min_y > 35 && f.max_y < 36.5);
      }
    }
  }
}

// Settings that cannot be reprojected exactly, or at all: exit 2 with a
// message naming the cause, and no file touched.
TEST_F(ReprojectionTest, RefusalsTouchNoFile) {
  tree_.MakeDir("grids");
  WriteNtv2Grid(tree_.Path("grids/other.gsb"), 138, 34, 141, 37, 1.0, 1.0);
  tree_.WriteBytes("grids/touhokutaiheiyouoki2011.gsb", "not a grid");
  tree_.MakeDir("out");
  tree_.WriteBytes("out/keep.geojson", "older output");
  struct Case {
    std::vector<std::string> args;
    std::vector<std::string> message;  // parts of standard error
  };
  const std::string grids = tree_.Path("grids/");
  tree_.MakeDir("my grids");
  WriteNtv2Grid(tree_.Path("my grids/tky2jgd.gsb"), 138, 34, 141, 37, 1.0, 1.0);
  const std::string spaced = tree_.Path("my grids/");
  const std::vector<Case> cases = {
      {{"--coordsys", "27", "--t_srs", "EPSG:2451"},
       {"EPSG:30169 (Tokyo / Japan Plane Rectangular CS IX)", "EPSG:2451", "測地系の変更",
        "Helmert", "tky2jgd.gsb", "--grid FILE", "--allow-approximate"}},
      {{"--coordsys", "27", "--t_srs", "EPSG:4612"}, {"EPSG:30169", "EPSG:4612", "tky2jgd.gsb"}},
      {{"--coordsys", "8", "--t_srs", "EPSG:6677"},
       {"EPSG:2451", "EPSG:6677", "測地系の変更", "touhokutaiheiyouoki2011.gsb"}},
      // Without --coordsys: the zone the sample's map-sheet files name, JGD2000.
      {{"--t_srs", "EPSG:6668"}, {"EPSG:2451", "EPSG:6668 (JGD2011)", "測地系の変更"}},
      {{"--t_srs", "EPSG:4326"}, {"EPSG:2451", "EPSG:4326", "測地系の変更"}},
      {{"--coordsys", "27", "--t_srs", "EPSG:6677"},
       {"EPSG:30169", "EPSG:6677", "tky2jgd.gsb, touhokutaiheiyouoki2011.gsb"}},
      // British National Grid: nothing but a ballpark offset from Japan.
      {{"--t_srs", "EPSG:27700", "--allow-approximate"}, {"EPSG:2451", "EPSG:27700", "ballpark"}},
      {{"--t_srs", "EPSG:999999"}, {"座標系「EPSG:999999」はわかりません。"}},
      {{"--t_srs", "nonsense"}, {"座標系「nonsense」はわかりません。"}},
      {{"--t_srs", "EPSG:6695"}, {"「EPSG:6695」は2次元の"}},  // a height
      {{"--t_srs", "EPSG:4978"}, {"「EPSG:4978」は2次元の"}},  // geocentric
      {{"-f", "MIF", "--t_srs", "EPSG:4612"},
       {"MIF は座標を選んだ系 (--coordsys) のまま書き出すので"}},
      {{"--coordsys", "27", "--t_srs", "EPSG:2451", "--grid", grids + "tky2jgd.gsb"},
       {"グリッドファイル「" + grids + "tky2jgd.gsb」はありません。"}},
      // PROJ reads its pipeline's grid path up to the first blank.
      {{"--coordsys", "27", "--t_srs", "EPSG:2451", "--grid", spaced + "tky2jgd.gsb"},
       {"グリッドファイル「" + spaced + "tky2jgd.gsb」のパスには空白か引用符がある"}},
      {{"--coordsys", "27", "--t_srs", "EPSG:2451", "--grid", grids + "other.gsb"},
       {"other.gsb」は EPSG:30169", "どの変換にも使われません (使われるのは tky2jgd.gsb"}},
      {{"--coordsys", "8", "--t_srs", "EPSG:6677", "--grid", grids + "touhokutaiheiyouoki2011.gsb"},
       {"PROJ がグリッドファイル「" + grids + "touhokutaiheiyouoki2011.gsb」を読めません"}},
      {{"--grid", grids + "other.gsb"}, {"--grid を使うときは --t_srs も指定してください。"}},
      {{"--allow-approximate"}, {"--allow-approximate を使うときは --t_srs も指定してください。"}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"-q"};
    if (c.args[0] != "-f") args.insert(args.end(), {"-f", "GeoJSON"});
    args.insert(args.end(), c.args.begin(), c.args.end());
    args.insert(args.end(), {"-o", tree_.Path("out"), kSample});
    SCOPED_TRACE(::testing::PrintToString(args));
    CliResult r = Run(args);
    EXPECT_EQ(r.status, 2) << r.err;
    for (const std::string& part : c.message)
      EXPECT_NE(r.err.find(part), std::string::npos) << r.err;
    // A refusal is a sentence of its own, as every settings problem.
    EXPECT_TRUE(r.err.ends_with("。\n")) << r.err;
    std::set<std::string> left;
    for (const auto& entry : fs::directory_iterator(tree_.Path("out"))) {
      left.insert(entry.path().filename());
    }
    EXPECT_EQ(left, std::set<std::string>{"keep.geojson"});
  }
}

// A vertex the grid does not cover ends the run at its record rather than
// being written untransformed.
TEST_F(ReprojectionTest, AVertexOutsideTheGridIsAnErrorNamingTheRecord) {
  tree_.MakeDir("grids");
  WriteNtv2Grid(tree_.Path("grids/tky2jgd.gsb"), 130, 31, 132, 33, 1.0, 1.0);
  tree_.MakeDir("out");
  CliResult r = Run({"-q", "-f", "GeoJSON", "--layers", "kijunten", "--coordsys", "27", "--t_srs",
                     "EPSG:2451", "--grid", tree_.Path("grids/tky2jgd.gsb"), "-o",
                     tree_.Path("out"), kSample});
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_NE(r.err.find("座標を投影し直す先の座標系に変換できません."), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("行目"), std::string::npos) << r.err;
  EXPECT_TRUE(fs::is_empty(tree_.Path("out")));
}

}  // namespace
}  // namespace pelmora::testing_support
