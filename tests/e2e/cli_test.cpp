// End-to-end tests of pelmora-convert: exit status, what it prints, and the
// output files byte for byte against reviewed expected files. Set
// PELMORA_UPDATE_EXPECTED=1 to rewrite the expected files after a deliberate
// change, then review the difference before committing it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "../support/system_path.hpp"
#include "cli_runner.hpp"

namespace pelmora::testing_support {
namespace {

const fs::path kData = fs::path(PELMORA_SOURCE_DIR) / "tests/e2e/data";
const fs::path kExpected = fs::path(PELMORA_SOURCE_DIR) / "tests/e2e/expected";

std::set<std::string> FileNames(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder))
    names.insert(entry.path().filename().string());
  return names;
}

// The basic sample's road file holds a record whose attribute line is missing.
const std::string kRoadWarnings =
    "警告: 個別番号 11 の属性が 13101/road/road.atr にありません (13101/road/roadntwk.arc 5行目)\n"
    "警告: 個別番号 11 の属性が 13102/road/road.atr にありません (13102/road/roadntwk.arc 5行目)\n";

class CliTest : public testing::Test {
 protected:
  CliTest() { tree_.MakeDir("out"); }
  CliResult Run(std::vector<std::string> args) { return RunCli(args, tree_.root()); }
  // A copy of the basic data set that a test may change.
  std::string CopyBasic() {
    fs::copy(kData / "basic", tree_.root() / "maps", fs::copy_options::recursive);
    return tree_.Path("maps");
  }
  TempTree tree_;
};

// Entry 0 while the data names zone 9: the headers of zone 1 and the
// sample's zone warnings, as the expected files were reviewed.
TEST_F(CliTest, BasicConversionMatchesTheExpectedFiles) {
  CliResult r = Run(
      {"--no-progress", "--coordsys", "0", "-o", tree_.Path("out"), (kData / "basic").string()});
  EXPECT_EQ(r.status, 0);
  const fs::path expected = kExpected / "basic";
  if (std::getenv("PELMORA_UPDATE_EXPECTED")) {
    fs::remove_all(expected);
    fs::create_directories(expected / "out");
    fs::copy(tree_.root() / "out", expected / "out");
    std::ofstream(expected / "stdout.txt", std::ios::binary) << MaskElapsed(r.out);
    std::ofstream(expected / "stderr.txt", std::ios::binary) << r.err;
    GTEST_SKIP() << "expected files rewritten";
  }
  EXPECT_EQ(MaskElapsed(r.out), TempTree::ReadFile(expected / "stdout.txt"));
  EXPECT_EQ(r.err, TempTree::ReadFile(expected / "stderr.txt"));  // the sample's warnings
  ASSERT_EQ(FileNames(tree_.root() / "out"), FileNames(expected / "out"));
  for (const std::string& name : FileNames(expected / "out")) {
    EXPECT_EQ(tree_.ReadBytes("out/" + name), TempTree::ReadFile(expected / "out" / name)) << name;
  }
}

// Chained polygons are the default: asking for them changes no byte. Asked
// to assemble, a polygon's joint vertices are no longer repeated.
TEST_F(CliTest, PolygonsChainedByDefaultOrAssembled) {
  CliResult r = Run({"-q", "--coordsys", "0", "--polygons", "chained", "--layers", "mizu", "-o",
                     tree_.Path("out"), (kData / "basic").string()});
  EXPECT_EQ(r.status, 0);
  const fs::path expected = kExpected / "basic" / "out";
  for (const char* name : {"Mizu_Kasen_Pgn.mif", "Mizu_Mizuumi_Pgn.mif"}) {
    EXPECT_EQ(tree_.ReadBytes(std::string("out/") + name), TempTree::ReadFile(expected / name));
  }
  r = Run({"-q", "--coordsys", "0", "--polygons", "assembled", "--layers", "mizu", "-o",
           tree_.Path("out"), (kData / "basic").string()});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(tree_.ReadBytes("out/Mizu_Kasen_Pgn.mif"),
            TempTree::ReadFile(expected / "Mizu_Kasen_Pgn.mif"));
}

TEST_F(CliTest, OptionsChooseLayersCoordSysAndQuiet) {
  CliResult r = Run({"--quiet", "--coordsys", "27", "--layers", "road,図郭", "-o",
                     tree_.Path("out"), (kData / "basic").string()});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(WithoutWarnings(r.err), "");
  EXPECT_EQ(FileNames(tree_.root() / "out"),
            (std::set<std::string>{"Doro_Doro_Arc.mif", "Doro_Doro_Arc.mid", "Zukaku_Pgn.mif",
                                   "Zukaku_Pgn.mid"}));
  EXPECT_NE(tree_.ReadBytes("out/Zukaku_Pgn.mif")
                .find("CoordSys Earth Projection 8, 97, \"m\", 139.833333, 36, 0.9999, 0, 0 Bounds "
                      "(-8247318.51127, -13984603.2178) (8247318.51127, 6015108.14029)\r\n"),
            std::string::npos);
}

// By default the headers name the zone that the map-sheet files name, in
// JGD2000, and the summary says so; areas that disagree on their zone, or a
// data set naming none, are refused before any file is written, asking for
// --coordsys, which still chooses any entry.
TEST_F(CliTest, CoordSysAutoTakesTheZoneTheMapSheetsName) {
  const std::string zone9 =
      "CoordSys Earth Projection 8, 33, \"m\", 139.833333, 36, 0.9999, 0, 0\r\n";
  const std::string tokyo9 =
      "CoordSys Earth Projection 8, 97, \"m\", 139.833333, 36, 0.9999, 0, 0 ";
  const std::string ask = "--coordsys で座標系を指定してください。\n";
  struct Case {
    const char* name;
    std::vector<std::string> options;
    const char* zone_13101;  // line 7, field 1 of each map-sheet file
    const char* zone_13102;
    int status;
    std::string out_line;  // a line of standard output, or with status 2 standard error
    std::string header;    // in Zukaku_Pgn.mif
    bool zone_warning;
  };
  const Case kCases[] = {
      {"plain run",
       {},
       "9",
       "9",
       0,
       "座標系: 平面直角座標系(世界測地系) / 第9系 (図郭ファイルから)\n",
       zone9,
       false},
      {"auto said",
       {"--coordsys", "auto"},
       "9",
       "9",
       0,
       "座標系: 平面直角座標系(世界測地系) / 第9系 (図郭ファイルから)\n",
       zone9,
       false},
      {"an area without a zone",
       {},
       "9",
       "",
       0,
       "座標系: 平面直角座標系(世界測地系) / 第9系 (図郭ファイルから)\n",
       zone9,
       true},
      {"Tokyo datum chosen",
       {"--coordsys", "27"},
       "9",
       "9",
       0,
       "座標系: 平面直角座標系(日本測地系) / 第9系\n",
       tokyo9,
       false},
      {"mixed zones",
       {},
       "9",
       "10",
       2,
       "図郭ファイルの座標系の系が地域によって異なります (13101/13101.txt は第9系、13102/13102.txt "
       "は第10系)。" +
           ask,
       "",
       false},
      {"no zone",
       {},
       "x",
       "",
       2,
       "座標系の系を読み取れる図郭ファイルがありません。" + ask,
       "",
       false},
      {"mixed zones, one chosen",
       {"--coordsys", "8"},
       "9",
       "10",
       0,
       "座標系: 平面直角座標系(世界測地系) / 第9系\n",
       zone9,
       true},
  };
  for (const Case& c : kCases) {
    fs::remove_all(tree_.root() / "maps");
    fs::remove_all(tree_.root() / "out");
    tree_.MakeDir("out");
    const std::string maps = CopyBasic();
    for (auto [area, zone] : {std::pair{"13101", c.zone_13101}, std::pair{"13102", c.zone_13102}}) {
      const std::string sheet = std::string("maps/") + area + "/" + area + ".txt";
      std::string bytes = tree_.ReadBytes(sheet);
      const size_t at = bytes.find("\r\n9,100,");
      ASSERT_NE(at, std::string::npos) << c.name;
      tree_.WriteBytes(sheet, bytes.replace(at + 2, 1, zone));
    }
    std::vector<std::string> args = {"--no-progress", "--layers", "zukaku"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    args.insert(args.end(), {"-o", tree_.Path("out"), maps});
    CliResult r = Run(args);
    EXPECT_EQ(r.status, c.status) << c.name << "\n" << r.err;
    if (c.status == 2) {
      EXPECT_EQ(r.err, c.out_line) << c.name;
      EXPECT_TRUE(FileNames(tree_.root() / "out").empty()) << c.name;
      continue;
    }
    EXPECT_NE(r.out.find(c.out_line), std::string::npos) << c.name << "\n" << r.out;
    EXPECT_NE(tree_.ReadBytes("out/Zukaku_Pgn.mif").find(c.header), std::string::npos) << c.name;
    EXPECT_EQ(r.err.find("図郭ファイルの座標系") != std::string::npos, c.zone_warning)
        << c.name << "\n"
        << r.err;
  }
}

TEST_F(CliTest, InformationOptions) {
  CliResult list = Run({"--list-coordsys"});
  EXPECT_EQ(list.status, 0);
  EXPECT_NE(list.out.find("0\t平面直角座標系(世界測地系) / 第1系\tEPSG:2443\n"), std::string::npos);
  EXPECT_NE(list.out.find("37\t平面直角座標系(日本測地系) / 第19系\tEPSG:30179\n"),
            std::string::npos);
  CliResult version = Run({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_NE(version.out.find("2.0.2.105"), std::string::npos);
  CliResult help = Run({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("--layers"), std::string::npos);
}

TEST_F(CliTest, UsageAndSettingsProblemsExitWithTwo) {
  // Paths as the system's users type them, and a suggested command quoted
  // for the system's shell.
  const std::string sep = fs::path("/").make_preferred().string();
#ifdef _WIN32
  const auto quoted = [](const std::string& word) { return "\"" + word + "\""; };
#else
  const auto quoted = [](const std::string& word) { return "'" + word + "'"; };
#endif
  const std::string shapefile = quoted("ESRI Shapefile");
  const std::string data = (kData / "basic").string();
  tree_.WriteBytes("a-file", "x");
  struct Case {
    std::vector<std::string> args;
    std::string err;  // expected standard error, or "" to only require some text
  };
  const std::string help = "詳しくは pelmora-convert --help で表示される使い方をご覧ください。\n";
  const std::string bad_mif = "MIFの出力先フォルダが不正です。\n";
  for (const Case& c : std::vector<Case>{
           // The option parser's errors, in the programs' language.
           {{"--bogus"}, "pelmora-convert: 使えない引数です: --bogus。\n" + help},
           {{"-o", tree_.Path("out")},
            "pelmora-convert: 数値地図2500のフォルダ (DATAFOLDER) を1つ以上指定してください。\n" +
                help},
           {{data}, "pelmora-convert: 出力先 (-o) を指定してください。\n" + help},
           {{"-o", tree_.Path("out"), data, "--coordsys"},
            "pelmora-convert: --coordsys には値を続けてください。\n" + help},
           {{"--coordsys", "38", "-o", tree_.Path("out"), data},
            "pelmora-convert: --coordsys の値 38 は 0 から 37 の範囲にありません。\n" + help},
           {{"--layers", "road,rivers", "-o", tree_.Path("out"), data}, ""},
           {{"--polygons", "rings", "-o", tree_.Path("out"), data},
            "pelmora-convert: --polygons の値 rings は使えません (chained, assembled "
            "のいずれかです)。\n" +
                help},
           {{"--progress", "--no-progress", "-o", tree_.Path("out"), data},
            "pelmora-convert: --progress と --no-progress は同時に指定できません。\n" + help},
           // The output: the path and what is wrong with it.
           {{"-o", tree_.Path("missing"), data},
            bad_mif + "フォルダ「" + tree_.Path("missing") + "」はありません。\n"},
           {{"-o", tree_.Path("a-file"), data},
            bad_mif + "「" + tree_.Path("a-file") + "」はフォルダではなくファイルです。\n"},
           {{"-o", tree_.Path("a-file") + sep + "below", data},
            bad_mif + "「" + tree_.Path("a-file") + "」はフォルダではなくファイルです。\n"},
           // A file name of a format that writes a file per layer.
           {{"-o", tree_.Path("roads.shp"), data},
            "pelmora-convert: 「" + tree_.Path("roads.shp") +
                "」は1つのファイルの名前ですが、ESRI Shapefile はレイヤーごとに1つのファイル "
                "(Doro_Doro_Arc.shp など) をフォルダに書き出します。出力先には既にあるフォルダを"
                "指定してください。例:\n  pelmora-convert -f " +
                shapefile + " -o " + tree_.Path("roads") + " " + data + "\n" + help},
           {{"-o", tree_.Path("my roads.geojson"), data},
            "pelmora-convert: 「" + tree_.Path("my roads.geojson") +
                "」は1つのファイルの名前ですが、GeoJSON はレイヤーごとに1つのファイル "
                "(Doro_Doro_Arc.geojson など) をフォルダに書き出します。"
                "出力先には既にあるフォルダを"
                "指定してください。例:\n  pelmora-convert -f GeoJSON -o " +
                quoted(tree_.Path("my roads")) + " " + data + "\n" + help},
           {{"--layers", "", "-o", tree_.Path("out"), data}, "変換対象項目がありません。\n"},
           // Folders that hold nothing to convert: given at the wrong level,
           // empty, or holding only other groups' files.
           {{"-o", tree_.Path("out"), data + sep + "13101"},
            "数値地図2500のフォルダ「" + data + sep +
                "13101」は地域のフォルダです (テーマのフォルダ road "
                "などを直接収めています)。1つ上の"
                "フォルダ「" +
                data + "」を指定してください。\n"},
           {{"-o", tree_.Path("out"), kData.string()},
            "数値地図2500のフォルダ「" + kData.string() +
                "」には地域のフォルダがなく、1つ下のフォルダが数値地図2500のフォルダです。「" +
                data + "」を指定してください。\n"},
           {{"-o", tree_.Path("out"), data, tree_.Path("out")},
            "数値地図2500のフォルダ「" + tree_.Path("out") +
                "」に変換対象のデータがありません。\n"},
           {{"-o", tree_.Path("out"), tree_.Path("a-file")},
            "数値地図2500のフォルダ「" + tree_.Path("a-file") + "」が見つかりません。\n"},
       }) {
    CliResult r = Run(c.args);
    EXPECT_EQ(r.status, 2) << c.args[0];
    if (c.err.empty()) {
      EXPECT_NE(r.err, "") << c.args[0];
    } else {
      EXPECT_EQ(r.err, c.err);
    }
    EXPECT_EQ(r.out, "");
  }
  EXPECT_TRUE(fs::is_empty(tree_.root() / "out"));
  // No arguments at all: the usage.
  CliResult r = Run({});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("使い方:"), std::string::npos) << r.err;
}

// Each kind of warning, from a spoiled copy of the sample: the run goes on
// (status 0) and standard error names the file and line.
TEST_F(CliTest, WarningsNameTheirPlaceAndTheRunGoesOn) {
  struct Case {
    const char* name;
    const char* file;  // under maps/, "" for none
    std::string from, to;
    std::string expected;  // a line of standard error; "{maps}" stands for the folder
    bool twice = false;    // list the map-data folder twice
  };
  const Case kCases[] = {
      {"arc missing from the arc file", "13101/gaiku/gaiku.pgn", "5,5\r\n5\r\n", "5,5\r\n99\r\n",
       "警告: アーク 99 が 13101/gaiku/gaiku.arc にありません (13101/gaiku/gaiku.pgn 3行目)"},
      {"record without attribute line", "", "", "",
       "警告: 個別番号 22 の属性が 13102/gaiku/gaiku.atr にありません (13102/gaiku/gaiku.pgn "
       "4行目)"},
      {"area without the layer's file", "13102/GAIKU/GAIKU.PGN", "", "",
       "警告: 他の地域にある入力ファイルがありません (13102/gaiku/gaiku.pgn)"},
      {"value longer than its column", "13101/gaiku/gaiku.atr", ",001,",
       "," + std::string(120, 'a') + ",",
       "警告: 値が 120 バイトあり、列の幅 100 バイトを超えています (13101/gaiku/gaiku.pgn 2行目)"},
      {"folder registered twice", "", "", "", "警告: 同じ地域を2度変換します ({maps}/13102)", true},
  };
  for (const Case& c : kCases) {
    fs::remove_all(tree_.root() / "maps");
    const std::string maps = CopyBasic();
    const std::string file = std::string("maps/") + c.file;
    if (c.file[0] != '\0' && c.from.empty()) fs::remove(tree_.root() / file);
    if (!c.from.empty()) {
      std::string bytes = tree_.ReadBytes(file);
      ASSERT_NE(bytes.find(c.from), std::string::npos) << c.name;
      tree_.WriteBytes(file, bytes.replace(bytes.find(c.from), c.from.size(), c.to));
    }
    std::vector<std::string> args = {"-q", "--layers", "gaiku", "-o", tree_.Path("out"), maps};
    if (c.twice) args.push_back(maps);
    CliResult r = Run(args);
    EXPECT_EQ(r.status, 0) << c.name << "\n" << r.err;
    std::string expected = c.expected;
    // A folder below {maps} is named with the system's separator.
    if (auto at = expected.find("{maps}/"); at != std::string::npos)
      expected.replace(at, 7, SystemPath(maps, ""));
    EXPECT_NE(r.err.find(expected + "\n"), std::string::npos) << c.name << "\n" << r.err;
  }
}

// --strict ends the run at its first warning, alike for any number of jobs:
// the layers before it keep their pairs, its own layer leaves none.
TEST_F(CliTest, StrictMakesTheFirstWarningAnError) {
  const std::string maps = CopyBasic();
  for (const char* jobs : {"1", "4"}) {
    fs::remove_all(tree_.root() / "out");
    tree_.MakeDir("out");
    CliResult r = Run({"-q", "--strict", "-j", jobs, "--coordsys", "8", "--layers", "road,gaiku",
                       "-o", tree_.Path("out"), maps});
    EXPECT_EQ(r.status, 1) << jobs;
    EXPECT_EQ(
        r.err,
        "警告: 個別番号 11 の属性が 13101/road/road.atr にありません (13101/road/roadntwk.arc "
        "5行目)\n警告があったため変換を中止しました.\n13101/road/roadntwk.arc 5行目\n")
        << jobs;
    EXPECT_TRUE(fs::is_empty(tree_.root() / "out")) << jobs;
  }
}

// Ten warnings of a kind are printed, then how many more there were.
TEST_F(CliTest, WarningsOfAKindArePrintedTenTimesThenCounted) {
  const std::string maps = CopyBasic();
  std::string pgn = "H1,13101,a,b,c,d,e,1000,2000,x,y\r\n";
  for (int i = 1; i <= 13; ++i) pgn += "A1108," + std::to_string(100 + i) + ",1,1,1\r\n99\r\n";
  tree_.WriteBytes("maps/13101/gaiku/gaiku.pgn", pgn);
  CliResult r = Run({"-q", "--layers", "gaiku", "-o", tree_.Path("out"), maps});
  EXPECT_EQ(r.status, 0);
  size_t arcs = 0;
  for (size_t at = r.err.find("警告: アーク 99"); at != std::string::npos;
       at = r.err.find("警告: アーク 99", at + 1)) {
    ++arcs;
  }
  EXPECT_EQ(arcs, 10u);
  EXPECT_NE(r.err.find("警告: ほかに同じ種類の警告が 3 件あります (計 13 件)\n"), std::string::npos)
      << r.err;
}

TEST_F(CliTest, DataErrorStopsTheRunAndKeepsFinishedLayers) {
  std::string maps = CopyBasic();
  // The third arc of the L1103 layer's second file holds a faulty number.
  tree_.WriteBytes("maps/13102/GYOUSEI/GYOUSEI.ARC",
                   Utf8ToCp932("H1,13102,a,b,c,d,e,f,-500.5,300.25,x,y\r\nL1103,7,12,2\r\n"
                               "100.5,200\r\n12.5x,205.25\r\n"));
  CliResult r =
      Run({"--no-progress", "--layers", "road,gyousei,zukaku", "-o", tree_.Path("out"), maps});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(WithoutWarnings(r.err),
            "'12.5x' は浮動小数点数ではありません.\n13102/gyousei/gyousei.arc 4行目\n");
  EXPECT_EQ(r.out.find("変換が終了しました。"), std::string::npos);
  EXPECT_EQ(FileNames(tree_.root() / "out"),
            (std::set<std::string>{"Doro_Doro_Arc.mif", "Doro_Doro_Arc.mid",
                                   "Gyousei_Todofuken_Arc.mif", "Gyousei_Todofuken_Arc.mid"}));
}

TEST_F(CliTest, MissingCompanionAndMissingFolderAreErrors) {
  std::string maps = CopyBasic();
  fs::remove(tree_.root() / "maps/13101/road/road.atr");
  CliResult r =
      Run({"--no-progress", "--coordsys", "8", "--layers", "road", "-o", tree_.Path("out"), maps});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "ファイル \"" + SystemPath(maps, "13101/road/road.atr") +
                       "\". ファイルが見つかりません は開けません.\n"
                       "13101/road/road.atr\n");
  EXPECT_TRUE(fs::is_empty(tree_.root() / "out"));

  // A folder that is not there is refused before the run, as a setting.
  r = Run({"--no-progress", "-o", tree_.Path("out"), tree_.Path("nowhere")});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "数値地図2500のフォルダ「" + tree_.Path("nowhere") + "」が見つかりません。\n");
}

}  // namespace
}  // namespace pelmora::testing_support
