// Every GDAL output format, read back with GDAL and compared with the MIF/MID
// output of the same data: layers, feature counts, values, coordinates,
// declared geometry types and the EPSG code; and the runs that must fail
// without harming older output.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <map>
#include <set>

#include "../e2e/cli_runner.hpp"
#include "../support/map_tree.hpp"
#include "gdal_read_back.hpp"

namespace pelmora::testing_support {
namespace {

struct FormatCase {
  std::string format;  // -f
  std::string output;  // -o, relative to the scratch folder
  bool declares_multi_polygon;
};

const std::vector<FormatCase> kFormats = {
    {"GPKG", "out.gpkg", true},
    {"ESRI Shapefile", "shp", false},  // a Shapefile knows one polygon type
    {"GeoJSON", "geojson", true},
    {"FlatGeobuf", "fgb", true},
};

std::string ExpectedType(const std::string& mif_name, bool multi_polygon) {
  if (mif_name.ends_with("_Pnt")) return "Point";
  if (mif_name.ends_with("_Arc")) return "Line String";
  return multi_polygon ? "Multi Polygon" : "Polygon";
}

// Polygon rings may be turned by a format (a Shapefile's outer rings run
// clockwise): compare their envelope; lines and points vertex by vertex.
void ExpectSameGeometry(const ReadFeature& mif, const ReadFeature& out, bool polygon,
                        const std::string& where) {
  constexpr double kTolerance = 1e-8;
  EXPECT_NEAR(mif.min_x, out.min_x, kTolerance) << where;
  EXPECT_NEAR(mif.min_y, out.min_y, kTolerance) << where;
  EXPECT_NEAR(mif.max_x, out.max_x, kTolerance) << where;
  EXPECT_NEAR(mif.max_y, out.max_y, kTolerance) << where;
  if (polygon) return;
  ASSERT_EQ(mif.xy.size(), out.xy.size()) << where;
  for (size_t i = 0; i < mif.xy.size(); ++i) EXPECT_NEAR(mif.xy[i], out.xy[i], kTolerance) << where;
}

class GdalOutputTest : public ::testing::Test {
 protected:
  CliResult Run(std::vector<std::string> args) { return RunCli(args, tree_.root()); }

  // Converts data into MIF and into every format, and checks each against
  // the MIF layer by layer.
  void CheckEveryFormat(const std::string& data, const std::string& coordsys,
                        const std::string& epsg) {
    tree_.MakeDir("mif");
    ASSERT_EQ(Run({"-q", "--coordsys", coordsys, "-o", tree_.Path("mif"), data}).status, 0);
    for (const FormatCase& c : kFormats) {
      SCOPED_TRACE(c.format);
      if (!c.output.ends_with(".gpkg")) tree_.MakeDir(c.output);
      CliResult r =
          Run({"-q", "-f", c.format, "--coordsys", coordsys, "-o", tree_.Path(c.output), data});
      ASSERT_EQ(r.status, 0) << r.err;
      EXPECT_EQ(WithoutWarnings(r.err), "");
      std::vector<ReadLayer> layers = ReadDataset(tree_.Path(c.output));
      ASSERT_EQ(layers.size(), 31u);
      for (const ReadLayer& layer : layers) CheckLayer(layer, c, epsg);
    }
  }

  void CheckLayer(const ReadLayer& layer, const FormatCase& c, const std::string& epsg,
                  const std::string& mif_folder = "mif") {
    SCOPED_TRACE(layer.name);
    ReadLayer mif = ReadMifPair(tree_.Path(mif_folder), layer.name);
    // GeoJSON declares no type: a reader takes it from the geometries.
    const bool typed =
        c.format != "GeoJSON" || std::any_of(layer.features.begin(), layer.features.end(),
                                             [](const ReadFeature& f) { return f.has_geometry; });
    EXPECT_EQ(layer.geometry_type,
              typed ? ExpectedType(layer.name, c.declares_multi_polygon) : "Unknown (any)");
    EXPECT_EQ(layer.epsg, epsg);
    ASSERT_EQ(layer.features.size(), mif.features.size());
    const bool polygon = layer.geometry_type.find("Polygon") != std::string::npos;
    for (size_t i = 0; i < mif.features.size(); ++i) {
      const std::string where = layer.name + " #" + std::to_string(i);
      EXPECT_EQ(layer.features[i].values, mif.features[i].values) << where;
      EXPECT_EQ(layer.features[i].has_geometry, mif.features[i].has_geometry) << where;
      ExpectSameGeometry(mif.features[i], layer.features[i], polygon, where);
    }
  }

  TempTree tree_;
};

TEST_F(GdalOutputTest, SampleInEveryFormatMatchesTheMif) {
  CheckEveryFormat(std::string(PELMORA_SOURCE_DIR) + "/samples/mapdata", "0", "2443");
}

TEST_F(GdalOutputTest, GeneratedDataInEveryFormatMatchesTheMif) {
  const std::string data = tree_.Path("data");
  for (int seed = 1; seed <= 2; ++seed)
    pelmora::testing::WriteArea(data, "0" + std::to_string(seed), seed);
  CheckEveryFormat(data, "27", "30169");
}

// An empty object (a line of one vertex, a polygon without points: MIF's
// none) is a feature without geometry with its values in every format, in
// its place; a layer of nothing else is a layer like any other. For either
// kind of polygon and any number of jobs.
TEST_F(GdalOutputTest, EmptyObjectsKeepTheirPlaceInEveryFormat) {
  const std::string data = tree_.Path("data");
  fs::copy(std::string(PELMORA_SOURCE_DIR) + "/tests/e2e/data/basic", data,
           fs::copy_options::recursive);
  // The only park of each area is a polygon without points; the other
  // sites have none.
  for (std::string sheet : {"13101/others/zyouti", "13102/OTHERS/ZYOUTI"}) {
    const std::string area = sheet.substr(0, 5);
    tree_.WriteLines("data/" + sheet + (area == "13101" ? ".pgn" : ".PGN"),
                     {"H1," + area + ",a,b,c,d,e,1000,2000,x,y", "A6242,52,0,0,0"});
    tree_.WriteLines("data/" + sheet + (area == "13101" ? ".atr" : ".ATR"),
                     {"FH,場地", "Z,52,x,架空公園"});
  }
  for (const std::string polygons : {"chained", "assembled"}) {
    SCOPED_TRACE(polygons);
    const std::string mif = "mif-" + polygons;
    tree_.MakeDir(mif);
    ASSERT_EQ(Run({"-q", "--polygons", polygons, "-o", tree_.Path(mif), data}).status, 0);
    for (const FormatCase& c : kFormats) {
      for (const std::string jobs : {"1", "2"}) {
        SCOPED_TRACE(c.format + ", " + jobs + " jobs");
        const std::string output = polygons + jobs + "-" + c.output;
        if (!c.output.ends_with(".gpkg")) tree_.MakeDir(output);
        // The data's map-sheet files name zone 9 (entry 8): taken by default.
        CliResult r = Run({"-q", "-f", c.format, "--polygons", polygons, "-j", jobs, "-o",
                           tree_.Path(output), data});
        ASSERT_EQ(r.status, 0) << r.err;
        std::vector<ReadLayer> layers = ReadDataset(tree_.Path(output));
        ASSERT_EQ(layers.size(), 31u);
        for (const ReadLayer& layer : layers) CheckLayer(layer, c, "2451", mif);
      }
    }
  }
  // The test's premise: the MIF holds empty objects of both kinds.
  const ReadLayer sites = ReadMifPair(tree_.Path("mif-chained"), "Zyouti_Toshikouen_Pgn");
  ASSERT_EQ(sites.features.size(), 2u);
  EXPECT_FALSE(sites.features[0].has_geometry);
  const ReadLayer roads = ReadMifPair(tree_.Path("mif-chained"), "Doro_Doro_Arc");
  EXPECT_TRUE(std::any_of(roads.features.begin(), roads.features.end(),
                          [](const ReadFeature& f) { return !f.has_geometry; }));
}

// The tables, rows and feature ids of a GeoPackage do not depend on the
// number of jobs; each table carries the layer's Japanese caption.
TEST_F(GdalOutputTest, GeoPackageIsTheSameForOneAndManyJobs) {
  const std::string data = std::string(PELMORA_SOURCE_DIR) + "/samples/mapdata";
  ASSERT_EQ(Run({"-q", "-j", "1", "-o", tree_.Path("one.gpkg"), data}).status, 0);
  ASSERT_EQ(Run({"-q", "-j", "4", "-o", tree_.Path("four.gpkg"), data}).status, 0);
  std::vector<ReadLayer> one = ReadDataset(tree_.Path("one.gpkg"));
  std::vector<ReadLayer> four = ReadDataset(tree_.Path("four.gpkg"));
  ASSERT_EQ(one.size(), 31u);
  ASSERT_EQ(four.size(), 31u);
  for (size_t l = 0; l < one.size(); ++l) {
    SCOPED_TRACE(one[l].name);
    EXPECT_EQ(four[l].name, one[l].name);
    EXPECT_EQ(four[l].identifier, one[l].identifier);
    ASSERT_EQ(four[l].features.size(), one[l].features.size());
    for (size_t i = 0; i < one[l].features.size(); ++i) {
      EXPECT_EQ(one[l].features[i].fid, static_cast<long long>(i) + 1);
      EXPECT_EQ(four[l].features[i].fid, one[l].features[i].fid);
      EXPECT_EQ(four[l].features[i].values, one[l].features[i].values);
      EXPECT_EQ(four[l].features[i].xy, one[l].features[i].xy);
    }
  }
  EXPECT_EQ(one[0].name, "Doro_Doro_Arc");
  EXPECT_EQ(one[0].identifier, "道路線アーク");
  EXPECT_EQ(one[0].columns[0], "図面番号");
  EXPECT_EQ(one[30].name, "Zukaku_Pgn");
}

// DBF column names hold 10 bytes: long ones take their short name from the
// table, and the .cpg tells readers that the text is code page 932.
TEST_F(GdalOutputTest, ShapefileKeepsCodePage932WithShortColumnNames) {
  tree_.MakeDir("shp");
  const std::string data = std::string(PELMORA_SOURCE_DIR) + "/samples/mapdata";
  ASSERT_EQ(Run({"-q", "-f", "ESRI Shapefile", "--layers", "kijunten,tatemono", "-o",
                 tree_.Path("shp"), data})
                .status,
            0);
  EXPECT_EQ(tree_.ReadBytes("shp/Kijunten_Sankakuten_Pnt.cpg"), "932");
  EXPECT_TRUE(tree_.Exists("shp/Kijunten_Sankakuten_Pnt.prj"));
  std::map<std::string, std::vector<std::string>> columns;
  for (const ReadLayer& layer : ReadDataset(tree_.Path("shp"))) columns[layer.name] = layer.columns;
  EXPECT_EQ(columns["Kijunten_Sankakuten_Pnt"][2], "メッシュ");
  EXPECT_EQ(columns["Tatemono_Koukyou_Pgn"],
            (std::vector<std::string>{"図面番号", "個別番号", "建物CD1", "建物名称1", "建物CD2",
                                      "建物名称2", "建物CD3", "建物名称3"}));
  const std::string dbf = tree_.ReadBytes("shp/Kijunten_Sankakuten_Pnt.dbf");
  EXPECT_NE(dbf.find("\x90\xC2\x97\x74\x96\xEC"), std::string::npos);  // 青葉野 in code page 932
}

// A value that is no code page 932 text is kept (with U+FFFD) and warned
// about with the file and line of its record.
TEST_F(GdalOutputTest, TextThatIsNotCodePage932IsAWarningNamingTheRecord) {
  const std::string data = tree_.Path("data");
  pelmora::testing::WriteArea(data, "01", 1);
  std::string atr = tree_.ReadBytes("data/01/others/eki.atr");
  atr.replace(atr.find("\x96\xBC"), 2, "\x96\x7F");
  tree_.WriteBytes("data/01/others/eki.atr", atr);
  tree_.MakeDir("gj");
  CliResult r = Run({"-q", "-f", "GeoJSON", "--layers", "tetsudou", "-o", tree_.Path("gj"), data});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("01/others/eki.pnt"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("行目"), std::string::npos) << r.err;
  bool replaced = false;
  for (const ReadLayer& layer : ReadDataset(tree_.Path("gj"))) {
    for (const ReadFeature& f : layer.features) {
      for (const std::string& v : f.values) replaced |= v.find("\xEF\xBF\xBD") != std::string::npos;
    }
  }
  EXPECT_TRUE(replaced);
}

// Runs that cannot complete: a clear message, exit 1 or 2, the older output
// as it was and no temporary file left.
TEST_F(GdalOutputTest, FailedRunsLeaveOlderOutputUntouched) {
  const std::string sample = std::string(PELMORA_SOURCE_DIR) + "/samples/mapdata";
  tree_.MakeDir("out");
  ASSERT_EQ(Run({"-q", "--layers", "road", "-o", tree_.Path("out/old.gpkg"), sample}).status, 0);
  const std::string old_gpkg = tree_.ReadBytes("out/old.gpkg");
  tree_.WriteBytes("out/notes.gpkg", "my notes, not a GeoPackage");
  pelmora::testing::WriteArea(tree_.Path("bad"), "01", 1);
  tree_.WriteBytes("bad/01/road/roadntwk.arc", "x,y\r\nL2110,1,zz\r\n");
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string message;  // a part of standard error
  };
  for (const Case& c : std::vector<Case>{
           {{"-f", "KML", "-o", tree_.Path("out"), sample}, 2, "出力形式「KML」はありません"},
           {{"-f", "GPKG", "-o", tree_.Path("out"), sample},
            2,
            "GeoPackageの出力先ファイル「" + tree_.Path("out") + "」が不正です。\n「" +
                tree_.Path("out") + "」はフォルダです。"},
           {{"-o", tree_.Path("nosuch/x.gpkg"), sample},
            2,
            "GeoPackageの出力先ファイル「" + tree_.Path("nosuch/x.gpkg") +
                "」が不正です。\nフォルダ「" + tree_.Path("nosuch") + "」はありません。"},
           {{"-o", tree_.Path("out/notes.gpkg"), sample},
            1,
            "既にあるファイル「" + tree_.Path("out/notes.gpkg") +
                "」はGeoPackageではないため、置き換えません."},
           {{"-o", tree_.Path("out/old.gpkg"), tree_.Path("bad")}, 1, "roadntwk.arc"},
           {{"-o", "/proc/x.gpkg", sample}, 1, "x.gpkg"},
           {{"-f", "GeoJSON", "-o", "/proc", sample}, 1, "Doro_Doro_Arc.geojson"},
       }) {
    SCOPED_TRACE(c.args[c.args.size() - 2]);
    std::vector<std::string> args = {"-q"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    CliResult r = Run(args);
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
  }
  EXPECT_EQ(tree_.ReadBytes("out/old.gpkg"), old_gpkg);
  EXPECT_EQ(tree_.ReadBytes("out/notes.gpkg"), "my notes, not a GeoPackage");
  std::set<std::string> left;
  for (const auto& entry : fs::directory_iterator(tree_.Path("out"))) {
    left.insert(entry.path().filename());
  }
  EXPECT_EQ(left, (std::set<std::string>{"old.gpkg", "notes.gpkg"}));
}

// The names starting with "." in folder.
std::set<std::string> HiddenNames(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename();
    if (name.starts_with(".")) names.insert(name);
  }
  return names;
}

// Starts the converter and kills it outright (SIGKILL, as a power loss or
// the OOM killer would) as soon as a temporary file of it is in folder;
// returns what it left there, empty when it ended first.
std::set<std::string> KillWhenWriting(const std::vector<std::string>& args,
                                      const std::string& folder) {
  posix_spawn_file_actions_t quiet;  // its warnings about the data are not the test's
  posix_spawn_file_actions_init(&quiet);
  posix_spawn_file_actions_addopen(&quiet, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&quiet, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  const pid_t pid = SpawnCli(args, &quiet);
  posix_spawn_file_actions_destroy(&quiet);
  if (pid == 0) return {};
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (!HiddenNames(folder).empty()) {
      ::kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return HiddenNames(folder);
    }
    ::usleep(200);
  }
  return {};
}

// A run killed while writing leaves its temporary files (GDAL's own among
// them); the next run into the same folder removes every one of them.
TEST_F(GdalOutputTest, NextRunClearsWhatAKilledRunLeft) {
  const std::string data = tree_.Path("data");
  for (int seed = 1; seed <= 6; ++seed) {
    pelmora::testing::WriteArea(data, "0" + std::to_string(seed), seed);
  }
  const std::string sample = std::string(PELMORA_SOURCE_DIR) + "/samples/mapdata";
  for (const FormatCase& c : kFormats) {
    SCOPED_TRACE(c.format);
    const std::string folder = tree_.Path("killed-" + c.output);
    tree_.MakeDir(fs::path(folder).filename());
    const std::string output = c.output.ends_with(".gpkg") ? folder + "/" + c.output : folder;
    std::set<std::string> left =
        KillWhenWriting({"-q", "-j", "1", "-f", c.format, "-o", output, data}, folder);
    ASSERT_FALSE(left.empty()) << "the run ended before it could be killed";
    tree_.WriteBytes(fs::path(folder).filename() / ".notes.txt", "the user's");
    CliResult r = Run({"-q", "-f", c.format, "--layers", "road", "-o", output, sample});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(HiddenNames(folder), std::set<std::string>{".notes.txt"})
        << "left by the killed run: " << ::testing::PrintToString(left);
  }
}

}  // namespace
}  // namespace pelmora::testing_support
