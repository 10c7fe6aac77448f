#include "core/mif/coordsys.hpp"

#include <gtest/gtest.h>

#include "core/conversion/data_zone.hpp"
#include "core/conversion/sheet_zone.hpp"
#include "core/errors.hpp"
#include "core/text/cp932.hpp"

namespace pelmora {
namespace {

TEST(CoordSysTest, TableEntriesAndClauses) {
  auto table = CoordSysTable();
  EXPECT_EQ(table[0].name, "平面直角座標系(世界測地系) / 第1系");
  EXPECT_EQ(CoordSysClause(0), "Earth Projection 8, 33, \"m\", 129.5, 33, 0.9999, 0, 0");
  EXPECT_EQ(table[18].name, "平面直角座標系(世界測地系) / 第19系");
  EXPECT_EQ(CoordSysClause(18), "Earth Projection 8, 33, \"m\", 154, 26, 0.9999, 0, 0");
  EXPECT_EQ(table[27].name, "平面直角座標系(日本測地系) / 第9系");
  EXPECT_EQ(CoordSysClause(27),
            "Earth Projection 8, 97, \"m\", 139.833333, 36, 0.9999, 0, 0 Bounds "
            "(-8247318.51127, -13984603.2178) (8247318.51127, 6015108.14029)");
  EXPECT_EQ(CoordSysClause(36),
            "Earth Projection 8, 97, \"m\", 136, 20, 0.9999, 0, 0 Bounds "
            "(-8247318.51127, -12211786.0142) (8247318.51127, 7787925.34394)");
  EXPECT_EQ(CoordSysClause(-1), "");
  EXPECT_EQ(CoordSysClause(38), "");
}

TEST(CoordSysTest, TokyoEntriesShareTheOriginOfTheirWorldTwin) {
  for (int i = 0; i < 19; ++i) {
    std::string world(CoordSysClause(i)), tokyo(CoordSysClause(i + 19));
    std::string origin = world.substr(world.find("\"m\""));
    EXPECT_EQ(world.find("Bounds"), std::string::npos) << i;
    EXPECT_EQ(tokyo.find(origin), tokyo.find("\"m\"")) << i;
    EXPECT_EQ(tokyo.substr(0, 22), "Earth Projection 8, 97") << i;
    EXPECT_NE(tokyo.find(" Bounds ("), std::string::npos) << i;
  }
}

// Zone n is EPSG:2442+n in JGD2000 and EPSG:30160+n in the Tokyo datum; the
// table's names carry the zone number, so the code is checked against it.
TEST(CoordSysTest, EveryEntryCarriesTheEpsgCodeOfItsDatumAndZone) {
  auto table = CoordSysTable();
  for (int i = 0; i < kCoordSysCount; ++i) {
    const bool tokyo = i >= 19;
    const int zone = i % 19 + 1;
    const std::string name(table[i].name);
    EXPECT_NE(name.find(tokyo ? "日本測地系" : "世界測地系"), std::string::npos) << i;
    EXPECT_NE(name.find("第" + std::to_string(zone) + "系"), std::string::npos) << i;
    EXPECT_EQ(table[i].epsg, (tokyo ? 30160 : 2442) + zone) << i;
    EXPECT_EQ(CoordSysEpsg(i), table[i].epsg) << i;
    EXPECT_EQ(CoordSysZone(i), zone) << i;
  }
  EXPECT_EQ(CoordSysEpsg(-1), 0);
  EXPECT_EQ(CoordSysEpsg(38), 0);
  EXPECT_EQ(CoordSysZone(-1), 0);
  EXPECT_EQ(CoordSysZone(38), 0);
}

// The zone field of a map-sheet file against the chosen entry: the same
// zone of either datum passes, anything else is named with both zones.
TEST(CoordSysTest, ZoneFieldAgainstTheChosenEntry) {
  struct Case {
    std::string field;
    int coordsys;
    std::string expected;  // "" when no warning is due
  };
  const Case kCases[] = {
      {"9", 8, ""},
      {"9", 27, ""},
      {" 9", 8, ""},
      {"+9", 27, ""},
      {"1", 0, ""},
      {"19", 37, ""},
      {"9", 0, "図郭ファイルの座標系は第9系で、選んだ座標系の第1系と異なります"},
      {"1", 18, "図郭ファイルの座標系は第1系で、選んだ座標系の第19系と異なります"},
      {"19", 19, "図郭ファイルの座標系は第19系で、選んだ座標系の第1系と異なります"},
      {"0", 0, "図郭ファイルの座標系番号「0」は選んだ座標系の第1系と異なります"},
      {"20", 0, "図郭ファイルの座標系番号「20」は選んだ座標系の第1系と異なります"},
      {"", 8, "図郭ファイルの座標系番号「」は選んだ座標系の第9系と異なります"},
      {"9 ", 8, "図郭ファイルの座標系番号「9 」は選んだ座標系の第9系と異なります"},
      {Utf8ToCp932("九"), 8, "図郭ファイルの座標系番号「九」は選んだ座標系の第9系と異なります"},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(ZoneMismatchText(c.field, c.coordsys).value_or(""), c.expected)
        << c.field << " " << c.coordsys;
  }
}

// The data's own zone: areas without a zone do not count, the entry is of
// the datum asked for, and the first disagreement names both areas.
TEST(DataZoneTest, ZoneTheAreasAgreeOn) {
  struct Case {
    const char* name;
    std::vector<std::optional<int>> zones;  // one area each, in run order
    int datum_like;
    DataZone::Outcome outcome;
    int coordsys_index;
    std::string problem;
  };
  const std::string ask = "--coordsys で座標系を指定してください。";
  const Case kCases[] = {
      {"one zone", {9, 9, 9}, 0, DataZone::Outcome::kFound, 8, ""},
      {"Tokyo datum asked", {9, 9}, 27, DataZone::Outcome::kFound, 27, ""},
      {"the last zone", {19}, 37, DataZone::Outcome::kFound, 37, ""},
      {"areas without a zone",
       {std::nullopt, 1, std::nullopt},
       18,
       DataZone::Outcome::kFound,
       0,
       ""},
      {"no area",
       {},
       0,
       DataZone::Outcome::kNoZone,
       -1,
       "座標系の系を読み取れる図郭ファイルがありません。" + ask},
      {"no zone",
       {std::nullopt, std::nullopt},
       0,
       DataZone::Outcome::kNoZone,
       -1,
       "座標系の系を読み取れる図郭ファイルがありません。" + ask},
      {"mixed",
       {std::nullopt, 9, 9, 10, 11},
       0,
       DataZone::Outcome::kMixed,
       -1,
       "図郭ファイルの座標系の系が地域によって異なります (a1/a1.txt は第9系、a3/a3.txt "
       "は第10系)。" +
           ask},
  };
  for (const Case& c : kCases) {
    InputDescription input;
    for (size_t i = 0; i < c.zones.size(); ++i) {
      AreaDescription& area = input.areas.emplace_back();
      area.name = "a" + std::to_string(i);
      area.zone = c.zones[i];
    }
    const DataZone found = FindDataZone(input, c.datum_like);
    EXPECT_EQ(found.outcome, c.outcome) << c.name;
    EXPECT_EQ(found.coordsys_index, c.coordsys_index) << c.name;
    EXPECT_EQ(DataZoneProblemText(found), c.problem) << c.name;
  }
  for (const char* bad : {"", "-1", "38", "08x", "auto ", "AUTO"}) {
    EXPECT_FALSE(ParseCoordSysChoice(bad).has_value()) << bad;
  }
  EXPECT_EQ(ParseCoordSysChoice("auto"), kCoordSysFromData);
  EXPECT_EQ(ParseCoordSysChoice("37"), 37);
  EXPECT_EQ(ParseCoordSysChoice("08"), 8);
}

TEST(ErrorTextTest, FinalPeriodAndSystemTexts) {
  EXPECT_EQ(WithFinalPeriod("'12.5x' は浮動小数点数ではありません"),
            "'12.5x' は浮動小数点数ではありません.");
  EXPECT_EQ(WithFinalPeriod("リストのインデックスが範囲を超えています (5)"),
            "リストのインデックスが範囲を超えています (5)");
  EXPECT_EQ(WithFinalPeriod("I/O エラー (5)"), "I/O エラー (5)");
  EXPECT_EQ(WithFinalPeriod("ends."), "ends.");
  EXPECT_EQ(WithFinalPeriod(""), "");
  EXPECT_EQ(SystemErrorText(ENOSPC), "ディスクがいっぱいです");
  EXPECT_EQ(SystemErrorText(EACCES), "ファイルへのアクセスが拒否されました");
  EXPECT_EQ(SystemErrorText(EMFILE), "オープンしたファイルが多すぎます");
  EXPECT_EQ(SystemErrorText(ENOTDIR), "ファイル名の指定が間違っています");
  EXPECT_EQ(SystemErrorText(EIO), "I/O エラー (5)");
}

}  // namespace
}  // namespace pelmora
