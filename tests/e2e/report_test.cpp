// End-to-end tests of what pelmora-convert tells about a run beyond its log:
// the warning about map-sheet files of another zone, the summary after the
// end and the JSON report of --report.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <regex>

#include "cli_runner.hpp"

namespace pelmora::testing_support {
namespace {

using Json = nlohmann::json;

const fs::path kBasic = fs::path(PELMORA_SOURCE_DIR) / "tests/e2e/data/basic";

// The lines of text that contain part, in order.
std::vector<std::string> LinesWith(const std::string& text, const std::string& part) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (line.find(part) != std::string::npos) lines.push_back(line);
  }
  return lines;
}

size_t CountLines(const std::string& text) {
  return static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
}

class ReportTest : public testing::Test {
 protected:
  ReportTest() {
    tree_.MakeDir("out");
    fs::copy(kBasic, tree_.root() / "maps", fs::copy_options::recursive);
    maps_ = tree_.Path("maps");
  }
  CliResult Run(std::vector<std::string> args) { return RunCli(args, tree_.root()); }

  // Replaces the area's map-sheet file by its first `lines` lines, field 1
  // of the seventh line set to zone.
  void SetSheet(const std::string& area, const std::string& zone, size_t lines = 10) {
    const std::string file = "maps/" + area + "/" + area + ".txt";
    std::string bytes;
    for (size_t i = 1; i <= lines; ++i) {
      bytes += i == 7 ? zone + ",100,200,300,400,a,b,c,d,1" : "line" + std::to_string(i);
      bytes += "\r\n";
    }
    tree_.WriteBytes(file, bytes);
  }

  Json ReadReport(const std::string& name) {
    return Json::parse(tree_.ReadBytes(name));  // throws, failing the test, when no JSON
  }

  TempTree tree_;
  std::string maps_;
};

// Every layer of the run converts every area, yet each map-sheet file of
// another zone than the chosen one is named once, at its seventh line.
TEST_F(ReportTest, MapSheetFilesOfAnotherZoneAreNamedOncePerArea) {
  const std::string kNine13101 =
      "警告: 図郭ファイルの座標系は第9系で、選んだ座標系の第1系と異なります (13101/13101.txt "
      "7行目)";
  const std::string kNine13102 =
      "警告: 図郭ファイルの座標系は第9系で、選んだ座標系の第1系と異なります (13102/13102.txt "
      "7行目)";
  struct Case {
    const char* name;
    const char* coordsys;
    const char* zone_13101;  // field 1 of the seventh line; "-" removes the file
    size_t lines_13101;
    std::vector<std::string> expected;
  };
  const Case kCases[] = {
      {"zone 9 read, zone 1 chosen", "0", "9", 10, {kNine13101, kNine13102}},
      {"zone 9 of JGD2000", "8", "9", 10, {}},
      {"zone 9 of the Tokyo datum", "27", "9", 10, {}},
      {"zone 19 of the Tokyo datum",
       "37",
       "19",
       10,
       {"警告: 図郭ファイルの座標系は第9系で、選んだ座標系の第19系と異なります (13102/13102.txt "
        "7行目)"}},
      {"areas of different zones",
       "8",
       "10",
       10,
       {"警告: 図郭ファイルの座標系は第10系で、選んだ座標系の第9系と異なります (13101/13101.txt "
        "7行目)"}},
      {"a field that is no zone",
       "8",
       "x9",
       10,
       {"警告: 図郭ファイルの座標系番号「x9」は選んだ座標系の第9系と異なります (13101/13101.txt "
        "7行目)"}},
      {"a number beyond the zones",
       "8",
       "20",
       10,
       {"警告: 図郭ファイルの座標系番号「20」は選んだ座標系の第9系と異なります (13101/13101.txt "
        "7行目)"}},
      {"no map-sheet file", "0", "-", 10, {kNine13102}},
      {"no seventh line", "0", "9", 6, {kNine13102}},
      {"a seventh line and no more", "0", "9", 7, {kNine13101, kNine13102}},
  };
  for (const Case& c : kCases) {
    SetSheet("13101", c.zone_13101, c.lines_13101);
    if (std::string(c.zone_13101) == "-") fs::remove(tree_.root() / "maps/13101/13101.txt");
    for (const char* jobs : {"1", "3"}) {
      CliResult r =
          Run({"-q", "-j", jobs, "--coordsys", c.coordsys, "-o", tree_.Path("out"), maps_});
      EXPECT_EQ(r.status, 0) << c.name;
      EXPECT_EQ(LinesWith(r.err, "図郭ファイル"), c.expected) << c.name << " -j " << jobs;
    }
  }
}

// A strict run ends at the zone warning before it writes any file.
TEST_F(ReportTest, StrictRunEndsAtTheZoneWarning) {
  CliResult r = Run({"-q", "--strict", "--coordsys", "0", "-o", tree_.Path("out"), maps_});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err,
            "警告: 図郭ファイルの座標系は第9系で、選んだ座標系の第1系と異なります (13101/13101.txt "
            "7行目)\n警告があったため変換を中止しました.\n13101/13101.txt 7行目\n");
  EXPECT_TRUE(fs::is_empty(tree_.root() / "out"));
}

TEST_F(ReportTest, SummaryFollowsTheEndOfTheRun) {
  CliResult r = Run({"--no-progress", "--coordsys", "8", "--layers", "road,zukaku", "-o",
                     tree_.Path("out"), maps_});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(MaskElapsed(r.out),
            "道路線アークを変換します。\n"
            "13101/road/roadntwk.arc --> Doro_Doro_Arc.mif\n"
            "13102/road/roadntwk.arc --> Doro_Doro_Arc.mif\n"
            "図郭ポリゴンを変換します。\n"
            "13101/13101.txt --> Zukaku_Pgn.mif\n"
            "13102/13102.txt --> Zukaku_Pgn.mif\n"
            "変換が終了しました。\n"
            "座標系: 平面直角座標系(世界測地系) / 第9系\n"
            "レイヤーごとの地物の数:\n"
            "         4  Doro_Doro_Arc\n"
            "         2  Zukaku_Pgn\n"
            "読み込んだ地域の数: 2\n"
            "警告の数: 4\n"
            "         2  属性の行がないレコード\n"
            "         2  空の図形 (none) にした線やポリゴン\n"
            "所要時間: * 秒\n");
  EXPECT_NE(r.out.find("所要時間: "), std::string::npos);
  EXPECT_EQ(Run({"-q", "--coordsys", "8", "-o", tree_.Path("out"), maps_}).out, "");
}

// The report of a whole run: the settings, each layer's files and features
// as written, every warning as standard error showed it, the times.
TEST_F(ReportTest, JsonReportOfAWholeRun) {
  CliResult r = Run({"--no-progress", "-j", "2", "--report", tree_.Path("run.json"), "-o",
                     tree_.Path("out"), maps_});
  ASSERT_EQ(r.status, 0) << r.err;
  const Json report = ReadReport("run.json");
  const Json& settings = report["settings"];
  EXPECT_EQ(settings["map_folders"], Json::array({maps_}));
  // No --coordsys: the entry of the zone that the map-sheet files name.
  EXPECT_EQ(settings["coordsys"]["index"], 8);
  EXPECT_EQ(settings["coordsys"]["epsg"], 2451);
  EXPECT_EQ(settings["coordsys"]["zone"], 9);
  EXPECT_EQ(settings["coordsys"]["name"], "平面直角座標系(世界測地系) / 第9系");
  EXPECT_EQ(settings["coordsys"]["from_data"], true);
  EXPECT_EQ(settings["output"], tree_.Path("out"));
  EXPECT_EQ(settings["format"], "MIF");
  EXPECT_EQ(settings["groups"].size(), 9u);
  EXPECT_EQ(settings["jobs"], 2);
  EXPECT_EQ(settings["polygons"], "chained");
  EXPECT_EQ(settings["strict"], false);
  EXPECT_EQ(report["result"], Json({{"status", "done"}, {"exit_status", 0}}));

  ASSERT_EQ(report["layers"].size(), 31u);
  uint64_t features = 0;
  for (const Json& layer : report["layers"]) {
    const std::string name = layer["name"];
    EXPECT_EQ(layer["files"], Json::array({name + ".mif", name + ".mid"}));
    EXPECT_EQ(layer["features"], CountLines(tree_.ReadBytes("out/" + name + ".mid"))) << name;
    features += layer["features"].get<uint64_t>();
  }
  EXPECT_EQ(report["layers"][0]["name"], "Doro_Doro_Arc");
  EXPECT_EQ(report["features"], features);
  EXPECT_EQ(report["areas"], 2);

  std::vector<std::string> shown;
  int counted = 0;
  for (const Json& w : report["warnings"]) {
    shown.push_back("警告: " + w["text"].get<std::string>() + " (" + w["file"].get<std::string>() +
                    " " + std::to_string(w["line"].get<int>()) + "行目)");
  }
  for (const auto& [kind, count] : report["warning_counts"].items()) counted += count.get<int>();
  EXPECT_EQ(shown, LinesWith(r.err, "警告: "));
  EXPECT_EQ(counted, static_cast<int>(report["warnings"].size()));
  // The zone taken is the data's own: no area is of another zone.
  EXPECT_FALSE(report["warning_counts"].contains("zone_mismatch"));
  EXPECT_EQ(report["warnings"][0]["kind"], "missing_attributes");

  const std::regex iso(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z)");
  EXPECT_TRUE(std::regex_match(report["started"].get<std::string>(), iso)) << report["started"];
  EXPECT_TRUE(std::regex_match(report["finished"].get<std::string>(), iso)) << report["finished"];
  EXPECT_LE(report["started"].get<std::string>(), report["finished"].get<std::string>());
  EXPECT_GE(report["elapsed_seconds"].get<double>(), 0.0);
}

// Standard error shows ten warnings of a kind; the report keeps them all.
TEST_F(ReportTest, JsonReportKeepsEveryWarning) {
  std::string pgn = "H1,13101,a,b,c,d,e,1000,2000,x,y\r\n";
  for (int i = 1; i <= 13; ++i) pgn += "A1108," + std::to_string(100 + i) + ",1,1,1\r\n99\r\n";
  tree_.WriteBytes("maps/13101/gaiku/gaiku.pgn", pgn);
  CliResult r = Run({"-q", "--coordsys", "8", "--layers", "gaiku", "--report",
                     tree_.Path("run.json"), "-o", tree_.Path("out"), maps_});
  ASSERT_EQ(r.status, 0);
  EXPECT_EQ(LinesWith(r.err, "警告: アーク 99").size(), 10u);
  const Json report = ReadReport("run.json");
  EXPECT_EQ(report["warning_counts"]["missing_arc"], 13);
  std::vector<int> lines;
  for (const Json& w : report["warnings"]) {
    if (w["kind"] != "missing_arc") continue;
    EXPECT_EQ(w["file"], "13101/gaiku/gaiku.pgn");
    lines.push_back(w["line"]);
  }
  ASSERT_EQ(lines.size(), 13u);
  EXPECT_EQ(lines.back(), 27);  // the reference line of the thirteenth polygon
}

// A run that fails, or that is refused, still leaves its report, with the
// error as the user saw it and the layers kept before it.
TEST_F(ReportTest, JsonReportOfFailedAndRefusedRuns) {
  tree_.WriteBytes("maps/13102/gyousei/gyousei.arc",
                   "H1,13102,a,b,c,d,e,f,-500.5,300.25,x,y\r\nL1103,7,12,2\r\n"
                   "100.5,200\r\n12.5x,205.25\r\n");
  CliResult r = Run({"-q", "--coordsys", "8", "--layers", "road,gyousei", "--report",
                     tree_.Path("failed.json"), "-o", tree_.Path("out"), maps_});
  EXPECT_EQ(r.status, 1);
  Json report = ReadReport("failed.json");
  EXPECT_EQ(report["result"], Json({{"status", "failed"},
                                    {"exit_status", 1},
                                    {"error",
                                     {{"message", "'12.5x' は浮動小数点数ではありません."},
                                      {"file", "13102/gyousei/gyousei.arc"},
                                      {"line", 4}}}}));
  ASSERT_EQ(report["layers"].size(), 2u);
  EXPECT_EQ(report["layers"][1]["name"], "Gyousei_Todofuken_Arc");

  r = Run({"-q", "--layers", "", "--report", tree_.Path("refused.json"), "-o", tree_.Path("out"),
           maps_});
  EXPECT_EQ(r.status, 2);
  report = ReadReport("refused.json");
  EXPECT_EQ(report["result"]["status"], "refused");
  EXPECT_EQ(report["result"]["exit_status"], 2);
  EXPECT_EQ(report["result"]["error"]["message"], "変換対象項目がありません。");
  EXPECT_EQ(report["layers"], Json::array());
}

// The report replaces an older one whole; one that cannot be written where
// asked is refused before the run, or fails the run when writing it fails.
TEST_F(ReportTest, ReportFileIsReplacedWholeOrTheRunFails) {
  tree_.WriteBytes("reports/run.json", "older");
  CliResult r = Run({"-q", "--coordsys", "8", "--layers", "zukaku", "--report",
                     tree_.Path("reports/run.json"), "-o", tree_.Path("out"), maps_});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(ReadReport("reports/run.json")["result"]["status"], "done");
  EXPECT_EQ(std::distance(fs::directory_iterator(tree_.root() / "reports"), {}), 1);

  tree_.MakeDir("a-folder");
  tree_.MakeDir("untouched");
  for (const std::string& report : {tree_.Path("nowhere/run.json"), tree_.Path("a-folder")}) {
    r = Run({"-q", "--report", report, "-o", tree_.Path("untouched"), maps_});
    EXPECT_EQ(r.status, 2) << report;
    EXPECT_NE(r.err.find(report), std::string::npos) << r.err;
  }
  EXPECT_TRUE(fs::is_empty(tree_.root() / "untouched"));

#ifndef _WIN32
  // sysfs takes no new file, not even from root.
  r = Run({"--no-progress", "--coordsys", "8", "--layers", "zukaku", "--report",
           "/sys/pelmora-report.json", "-o", tree_.Path("out"), maps_});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("変換が終了しました。\n"), std::string::npos);
  EXPECT_NE(r.err.find("レポート「/sys/pelmora-report.json」を書き込めません: "), std::string::npos)
      << r.err;
#endif
}

// Each format's layers name the files they put in place: a Shapefile's set
// per layer, the one GeoPackage for every layer.
TEST_F(ReportTest, JsonReportNamesTheFilesOfEachFormat) {
  if (Run({"--formats"}).out.find("GPKG\t") == std::string::npos) GTEST_SKIP() << "no GDAL";
  CliResult r = Run({"-q", "--coordsys", "8", "--layers", "zukaku", "-f", "ESRI Shapefile",
                     "--report", tree_.Path("shp.json"), "-o", tree_.Path("out"), maps_});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadReport("shp.json")["layers"][0]["files"],
            Json::array({"Zukaku_Pgn.shp", "Zukaku_Pgn.shx", "Zukaku_Pgn.dbf", "Zukaku_Pgn.prj",
                         "Zukaku_Pgn.cpg"}));
  r = Run({"-q", "--coordsys", "8", "--layers", "road,zukaku", "--report", tree_.Path("gpkg.json"),
           "-o", tree_.Path("out/city.gpkg"), maps_});
  ASSERT_EQ(r.status, 0) << r.err;
  const Json report = ReadReport("gpkg.json");
  EXPECT_EQ(report["settings"]["format"], "GPKG");
  EXPECT_EQ(report["settings"]["output"], tree_.Path("out/city.gpkg"));
  ASSERT_EQ(report["layers"].size(), 2u);
  for (const Json& layer : report["layers"]) EXPECT_EQ(layer["files"], Json::array({"city.gpkg"}));
}

}  // namespace
}  // namespace pelmora::testing_support
