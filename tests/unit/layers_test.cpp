// What each kind of layer writes for its records.
#include <algorithm>

#include "conversion_fixture.hpp"

namespace pelmora {
namespace {

TEST_F(ConversionTest, LineLayerTakesOnlyItsCodeWithItsCoordinateLines) {
  tree_.WriteLines("maps/A/gyousei/gyousei.arc",
                   {kHeader10, "L1101,1,1,1", "5,5", "L1103,7,12,2", "100.5,200", "101,205.25",
                    "l1103,8,13,0", "", "L1104,1,3,0", "L1103 ,9,14,0"});
  Tick(1);
  Run();
  EXPECT_EQ(Objects("Gyousei_GunshiKukai_Arc"),
            "PLine 2\r\n2200.00000000 1100.50000000\r\n2205.25000000 1101.00000000\r\n\r\n"
            "none\r\n\r\n");
  EXPECT_EQ(Rows("Gyousei_GunshiKukai_Arc"), "\"S1\",\"7\",\"12\"\r\n\"S1\",\"9\",\"14\"\r\n");
  // Arcs of one vertex or none are kept as empty objects with their rows.
  const std::string empty = "警告: 頂点が2つ未満の線を空の図形 (none) にしました ";
  EXPECT_EQ(observer_.warnings,
            (std::vector<std::string>{empty + "(A/gyousei/gyousei.arc 2行目)",     // L1101
                                      empty + "(A/gyousei/gyousei.arc 10行目)",    // L1103
                                      empty + "(A/gyousei/gyousei.arc 9行目)"}));  // L1104
  EXPECT_EQ(Rows("Gyousei_Todofuken_Arc"), "\"S1\",\"1\",\"1\"\r\n");
}

TEST_F(ConversionTest, ForeignArcsAreNotSteppedOverByTheirCount) {
  // Another code's coordinate lines are passed over one by one; here the
  // L1101 arc takes the line "L1103,0,0,0" as its vertex, whose field 1 is
  // no number.
  tree_.WriteLines("maps/A/gyousei/gyousei.arc", {kHeader10, "L1101,1,1,1", "L1103,0,0,0"});
  Tick(1);
  EXPECT_EQ(RunError(), "'L1103' は浮動小数点数ではありません.\nA/gyousei/gyousei.arc 3行目");
}

TEST_F(ConversionTest, RoadRowsJoinFiveAttributeValues) {
  tree_.WriteLines("maps/A/road/roadntwk.arc",
                   {kHeader10, "L2110,1,10,0", "L2110,2,11,0", "L2110,3,12,0"});
  tree_.WriteLines("maps/A/road/road.atr", {"FH,x", "R,10,x,名前,b1,\"q\"\"t\"", "R,10,x,後",
                                            "R,12,x,n,a1,a2,a3,a4,extra"});
  Tick(0);
  Run();
  EXPECT_EQ(Rows("Doro_Doro_Arc"),
            "\"S1\",\"1\",\"10\",\"名前\",\"b1\",\"q\"\"t\",\"\",\"\"\r\n"
            "\"S1\",\"2\",\"11\",\"\",\"\",\"\",\"\",\"\"\r\n"
            "\"S1\",\"3\",\"12\",\"n\",\"a1\",\"a2\",\"a3\",\"a4\"\r\n");
}

TEST_F(ConversionTest, PolygonRingChainsArcsForwardsAndReversed) {
  tree_.WriteLines("maps/A/mizu/mizu.pgn", {kHeader10, "A5101,5,2,0,0", "3", "-4", "A5105,6,1", "3",
                                            "A5101,7,0", "A5101,8,-2", "3"});
  tree_.WriteLines("maps/A/mizu/mizu.arc", {kHeader10, "L5101,1,3,2", "0,0", "0,10", "L5101,1,4,4",
                                            "0,0", "10,0", "10,10", "0,10"});
  tree_.WriteLines("maps/A/mizu/mizu.atr", {"FH", "M,5,x,川"});
  Tick(4);
  Run();
  EXPECT_EQ(Objects("Mizu_Kasen_Pgn"),
            "Region 1\r\n  6\r\n2000.00000000 1000.00000000\r\n2000.00000000 1010.00000000\r\n"
            "2010.00000000 1010.00000000\r\n2010.00000000 1000.00000000\r\n"
            "2010.00000000 1000.00000000\r\n2000.00000000 1000.00000000\r\n\r\n"
            "none\r\n\r\n"
            "none\r\n\r\n");
  // A negative count consumes no reference line: "3" is then passed over.
  EXPECT_EQ(Rows("Mizu_Kasen_Pgn"),
            "\"S1\",\"5\",\"川\"\r\n\"S1\",\"7\",\"\"\r\n\"S1\",\"8\",\"\"\r\n");
  EXPECT_EQ(Rows("Mizu_Mizuumi_Pgn"), "\"S1\",\"6\",\"\"\r\n");
  const std::string empty = "警告: 点が2つ未満のポリゴンを空の図形 (none) にしました ";
  EXPECT_EQ(observer_.WarningsExcept(WarningKind::kMissingAttributes),
            (std::vector<std::string>{empty + "(A/mizu/mizu.pgn 7行目)",
                                      empty + "(A/mizu/mizu.pgn 8行目)"}));
}

TEST_F(ConversionTest, ArcReferencesMatchTheIndividualNumberAsText) {
  tree_.WriteLines("maps/A/others/zyouti.pgn", {kHeader10, "A6241,1,1", "-0012", "A6241,2,1", "+7",
                                                "A6241,3,1", "9", "A6241,4,1", "5"});
  tree_.WriteLines("maps/A/others/others.arc",
                   {kHeader10, "L6241,1,12,2", "1,1", "2,2", "L6241,1,007,1", "9,9", "L2300,1,7,1",
                    "3,3", "L6241,1,7,1", "4,4", "L6241,1,5,0", "L6241,1,9,1", "5,5"});
  tree_.WriteLines("maps/A/others/tetudou.atr", {"FH", "T,7,x,線"});
  Tick(5);
  Run();
  EXPECT_EQ(Rows("Tesudou_Senro_Arc"), "\"S1\",\"1\",\"7\",\"線\"\r\n");
  EXPECT_EQ(Objects("Tesudou_Senrojiki_Pgn"),
            "Region 1\r\n  2\r\n2002.00000000 1002.00000000\r\n2001.00000000 1001.00000000\r\n\r\n"
            "none\r\n\r\n"
            "none\r\n\r\n"
            "none\r\n\r\n");
  EXPECT_EQ(Rows("Tesudou_Senrojiki_Pgn"),
            "\"S1\",\"1\"\r\n\"S1\",\"2\"\r\n\"S1\",\"3\"\r\n\"S1\",\"4\"\r\n");
}

TEST_F(ConversionTest, PointLayersWithBothHeaderLayouts) {
  tree_.WriteLines("maps/A/others/eki.pnt", {kHeader10, "P2420,17,10.5,20.25", "P2421,18,1,1"});
  tree_.WriteLines("maps/A/others/eki.atr", {"FH", "E,17,x,駅名"});
  // Eleven commas, one of them inside quotes: the origin is in fields 9 and 10.
  tree_.WriteLines("maps/B/others/eki.pnt", {"H,S2,\"a,b\",c,d,e,f,g,-50,300.5,x", "P2420,1,0,0"});
  tree_.WriteLines("maps/B/others/eki.atr", {"FH"});
  Tick(5);
  Run();
  EXPECT_EQ(Objects("Tesudou_Eki_Pnt"),
            "Point 2020.25000000 1010.50000000\r\nPoint 300.50000000 -50.00000000\r\n");
  EXPECT_EQ(Rows("Tesudou_Eki_Pnt"), "\"S1\",\"17\",\"駅名\"\r\n\"S2\",\"1\",\"\"\r\n");
}

TEST_F(ConversionTest, FrameFromTheSeventhLineOfTheSheetFile) {
  auto sheet = [&](const std::string& area, const std::string& seventh, int lines) {
    std::string bytes;
    for (int i = 0; i < lines; ++i) bytes += (i == 6 ? seventh : "x") + "\r\n";
    tree_.WriteBytes("maps/" + area + "/" + area + ".txt", bytes);
  };
  sheet("0945", "9,100,200,300,400,a,b,c,d,1", 10);
  sheet("0946", "9,100,400,300,200", 10);            // X swapped: already clockwise, no flag
  sheet("0947", "9,100,200,100,400,a,b,c,d,1", 10);  // no area: four vertices
  sheet("0948", "9,1,2,3,4,a,b,c,d,1", 9);           // too short: logged, no frame
  tree_.WriteBytes("maps/0949/other.txt", "x\r\n");  // named otherwise: no frame
  Tick(8);
  Run();
  EXPECT_EQ(
      Objects("Zukaku_Pgn"),
      "Region 1\r\n  5\r\n200.00000000 300.00000000\r\n400.00000000 300.00000000\r\n"
      "400.00000000 100.00000000\r\n200.00000000 100.00000000\r\n200.00000000 300.00000000\r\n\r\n"
      "Region 1\r\n  5\r\n400.00000000 100.00000000\r\n200.00000000 100.00000000\r\n"
      "200.00000000 300.00000000\r\n400.00000000 300.00000000\r\n400.00000000 100.00000000\r\n\r\n"
      "Region 1\r\n  4\r\n200.00000000 100.00000000\r\n400.00000000 100.00000000\r\n"
      "400.00000000 100.00000000\r\n200.00000000 100.00000000\r\n\r\n");
  EXPECT_EQ(Rows("Zukaku_Pgn"),
            "\"0945\",\"1\",\"9\"\r\n\"0946\",\"\",\"9\"\r\n\"0947\",\"1\",\"9\"\r\n");
  EXPECT_EQ(observer_.log,
            (std::vector<std::string>{
                "図郭ポリゴンを変換します。", "0945/0945.txt --> Zukaku_Pgn.mif",
                "0946/0946.txt --> Zukaku_Pgn.mif", "0947/0947.txt --> Zukaku_Pgn.mif",
                "0948/0948.txt --> Zukaku_Pgn.mif"}));
  // The map-sheet files are the frame layer's input: all of them were read.
  EXPECT_EQ(observer_.progress.back(), observer_.bytes_to_read);
}

TEST_F(ConversionTest, ProgressCountsTheBytesOfTheLayersInputFiles) {
  tree_.WriteLines("maps/A/kijunten/sankaku.pnt", {kHeader10, "P7301,1,0,0", "X", "P7301,2,0,0"});
  tree_.WriteLines("maps/A/kijunten/sankaku.atr", {"FH"});
  tree_.WriteLines("maps/A/gaiku/gaiku.arc", {kHeader10, "L1108,1,1,2", "0,0", "1,1", "L9"});
  Tick(2);
  Tick(7);
  Run();
  // The arc file is read by the line layer; the polygon layer has no file
  // of its own (the arc file it consults does not count); the points.
  const uint64_t bytes = tree_.ReadText("maps/A/kijunten/sankaku.pnt").size() +
                         tree_.ReadText("maps/A/gaiku/gaiku.arc").size();
  EXPECT_EQ(observer_.bytes_to_read, bytes);
  ASSERT_FALSE(observer_.progress.empty());
  EXPECT_TRUE(std::is_sorted(observer_.progress.begin(), observer_.progress.end()));
  EXPECT_EQ(observer_.progress.back(), bytes);
  EXPECT_EQ(observer_.committed, (std::vector<std::string>{"Gaiku_Gaiku_Arc 1", "Gaiku_Gaiku_Pgn 0",
                                                           "Kijunten_Sankakuten_Pnt 2"}));
  EXPECT_EQ(Rows("Kijunten_Sankakuten_Pnt"),
            "\"S1\",\"1\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n"
            "\"S1\",\"2\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n");
}

}  // namespace
}  // namespace pelmora

namespace pelmora {
namespace {

// Assembled, a block with a courtyard is one Region of two rings: the outer
// clockwise, the courtyard counter-clockwise, each joint vertex once; a
// polygon whose arcs leave a gap is closed and reported.
TEST_F(ConversionTest, AssembledPolygonsHaveHolesAndReportOpenRings) {
  tree_.WriteLines("maps/A/mizu/mizu.pgn",
                   {kHeader10, "A5101,5,3", "-2", "1", "3", "A5101,6,1", "4", "A5101,7,1", "5"});
  // Field 1 is the northing (Y), field 2 the easting (X).
  tree_.WriteLines("maps/A/mizu/mizu.arc",
                   {kHeader10, "L5101,1,1,3", "0,0", "0,10", "10,10", "L5101,1,2,3", "0,0", "10,0",
                    "10,10", "L5101,1,3,4", "3,3", "7,3", "7,7", "3,3", "L5101,1,4,2", "0,0", "1,1",
                    "L5999,1,5,1", "0,0"});
  tree_.WriteLines("maps/A/mizu/mizu.atr", {"FH"});
  settings_.polygons = PolygonMode::kAssembled;
  Tick(4);
  Run();
  EXPECT_EQ(Objects("Mizu_Kasen_Pgn"),
            "Region 2\r\n  5\r\n"
            "2010.00000000 1010.00000000\r\n2010.00000000 1000.00000000\r\n"
            "2000.00000000 1000.00000000\r\n2000.00000000 1010.00000000\r\n"
            "2010.00000000 1010.00000000\r\n"
            "  4\r\n2003.00000000 1003.00000000\r\n2007.00000000 1007.00000000\r\n"
            "2003.00000000 1007.00000000\r\n2003.00000000 1003.00000000\r\n\r\n"
            "Region 1\r\n  3\r\n2001.00000000 1001.00000000\r\n2000.00000000 1000.00000000\r\n"
            "2001.00000000 1001.00000000\r\n\r\n"
            "none\r\n\r\n");
  EXPECT_EQ(
      observer_.WarningsExcept(WarningKind::kMissingAttributes),
      (std::vector<std::string>{
          "警告: 閉じていないポリゴンの環を始点で閉じました (A/mizu/mizu.pgn 6行目)",
          "警告: 点が2つ未満のポリゴンを空の図形 (none) にしました (A/mizu/mizu.pgn 8行目)"}));
}

}  // namespace
}  // namespace pelmora
