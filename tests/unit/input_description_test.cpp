// The one listing of a run's input: which areas, in which order, which files
// with which sizes, and what each map-sheet file says of its zone and frame.
#include "core/input/input_description.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "support/map_tree.hpp"
#include "support/system_path.hpp"

namespace pelmora {
namespace {

namespace fs = std::filesystem;
using testing::MakeTempFolder;
using testing::WriteTextFile;

// A map-sheet file whose seventh line is `line7`, padded to `lines` lines.
std::string SheetText(const std::string& line7, int lines = 12) {
  std::string text;
  for (int i = 1; i <= lines; ++i) text += (i == 7 ? line7 : "X,1") + "\r\n";
  return text;
}

TEST(InputDescriptionTest, ReadsTheZoneAndFrameOfEachMapSheet) {
  struct Case {
    const char* name;
    std::string sheet;  // empty: no map-sheet file
    std::optional<std::string> zone_field;
    std::optional<int> zone;
    bool frame;
  };
  const std::string line = ",-42000.00,-16000.00,-41726.77,-15591.95,2500,TOKYO,M,0.01,0";
  const Case kCases[] = {
      {"zone 9", SheetText("9" + line), "9", 9, true},
      {"zone 19, the last", SheetText("19" + line), "19", 19, true},
      {"zone 20 is none", SheetText("20" + line), "20", std::nullopt, true},
      {"a field that is no number", SheetText("x9" + line), "x9", std::nullopt, true},
      {"seven lines: a zone, too short for a frame", SheetText("3" + line, 7), "3", 3, false},
      {"six lines", SheetText("3" + line, 6), std::nullopt, std::nullopt, false},
      {"a frame that is no number", SheetText("9,-42000.00,x,-41726.77,-15591.95"), "9", 9, false},
      {"no map-sheet file", "", std::nullopt, std::nullopt, false},
  };
  for (const Case& c : kCases) {
    const std::string map = MakeTempFolder("describe");
    WriteTextFile(map + "/09LD001/road/roadntwk.arc", "12345");
    if (!c.sheet.empty()) WriteTextFile(map + "/09LD001/09LD001.txt", c.sheet);
    const InputDescription input = DescribeInput({map});
    ASSERT_EQ(input.areas.size(), 1u) << c.name;
    const AreaDescription& area = input.areas[0];
    EXPECT_EQ(area.zone_field, c.zone_field) << c.name;
    EXPECT_EQ(area.zone, c.zone) << c.name;
    ASSERT_EQ(area.frame.has_value(), c.frame) << c.name;
    if (c.frame) {
      EXPECT_EQ(area.frame->min_x, -16000.0);
      EXPECT_EQ(area.frame->min_y, -42000.0);
      EXPECT_EQ(area.frame->max_x, -15591.95);
      EXPECT_EQ(area.frame->max_y, -41726.77);
    }
    fs::remove_all(map);
  }
}

// Areas in run order (folder list order, then names without regard to
// case), files found without regard to case with their sizes, and the
// folders that are missing, not folders or cannot be listed recorded
// without an exception.
TEST(InputDescriptionTest, ListsAreasFilesAndFoldersInRunOrder) {
  const std::string first = MakeTempFolder("describe");
  const std::string second = MakeTempFolder("describe");
  WriteTextFile(first + "/b/ROAD/RoadNtwk.ARC", "123");
  WriteTextFile(first + "/A/gyousei/gyousei.arc", "12345");
  WriteTextFile(first + "/A/a.TXT", SheetText("9,1,2,3,4"));
  WriteTextFile(first + "/.hidden/road/roadntwk.arc", "1");
  WriteTextFile(first + "/c/road/roadntwk.arc/x", "a folder where a file belongs");
  WriteTextFile(second + "/z/others/zyouti.atr", "1234567");
  WriteTextFile(second + "/plain-file", "");
  const InputDescription input =
      DescribeInput({first, second, first + "/missing", second + "/plain-file"});

  std::vector<std::string> areas;
  for (const AreaDescription& area : input.areas) {
    areas.push_back(std::to_string(area.folder_index) + ":" + area.name);
  }
  EXPECT_EQ(areas, (std::vector<std::string>{"0:A", "0:b", "0:c", "1:z"}));
  const AreaDescription& a = input.areas[0];
  EXPECT_EQ(a.path, testing_support::SystemPath(first, "A"));
  ASSERT_EQ(a.files.size(), 2u);
  ASSERT_NE(a.Find("gyousei/gyousei.arc"), nullptr);
  EXPECT_EQ(a.Find("gyousei/gyousei.arc")->size, 5u);
  ASSERT_NE(a.Find("A.txt"), nullptr);
#ifndef _WIN32
  // Windows' file system finds every spelling of a name itself.
  EXPECT_EQ(a.Find("A.txt")->path, first + "/A/a.TXT");
#endif
  EXPECT_EQ(a.zone, 9);
  const DescribedFile* road = input.areas[1].Find("road/roadntwk.arc");
  ASSERT_NE(road, nullptr);
#ifndef _WIN32
  EXPECT_EQ(road->path, first + "/b/ROAD/RoadNtwk.ARC");
#endif
  EXPECT_EQ(road->size, 3u);
  EXPECT_TRUE(input.areas[2].files.empty());
  EXPECT_EQ(input.areas[3].Find("others/zyouti.atr")->size, 7u);
  EXPECT_EQ(input.AreasOf(1).size(), 1u);
  EXPECT_TRUE(input.AreasOf(2).empty());

  ASSERT_EQ(input.folders.size(), 4u);
  EXPECT_TRUE(input.folders[0].is_folder);
  EXPECT_EQ(input.folders[0].listing_error, 0);
  EXPECT_FALSE(input.folders[2].is_folder);
  EXPECT_EQ(input.folders[2].listing_error, ENOENT);
  EXPECT_FALSE(input.folders[3].is_folder);
  EXPECT_NE(input.folders[3].listing_error, 0);
  fs::remove_all(first);
  fs::remove_all(second);
}

}  // namespace
}  // namespace pelmora
