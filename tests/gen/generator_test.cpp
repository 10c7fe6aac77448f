// Options, number formatting and determinism of pelmora-gendata.
#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "map_folder.hpp"
#include "options.hpp"
#include "text_buffer.hpp"

namespace pelmora::gen::testing {
namespace {

TEST(GenOptionsTest, AcceptsAndRejects) {
  struct Case {
    std::vector<std::string> args;
    bool ok;
  };
  const Case cases[] = {
      {{"--out", "d"}, true},
      {{"--out", "d", "--areas", "3", "--size-mb", "0.5", "--seed", "42"}, true},
      {{"--out", "d", "--sample", "--force"}, true},
      {{"--out", "d", "--faults"}, true},
      {{"--out", "d", "--sample", "--faults"}, false},  // the sample stays clean
      {{}, false},                                      // no output folder
      {{"--out"}, false},                               // option without its value
      {{"--out", "d", "--areas", "0"}, false},          // no area
      {{"--out", "d", "--areas", "3x"}, false},         // trailing garbage
      {{"--out", "d", "--size-mb", "-1"}, false},       // negative size
      {{"--out", "d", "--size-mb", "nan"}, false},      // not a number
      {{"--out", "d", "--seed", "-5"}, false},          // seeds are unsigned
      {{"--out", "d", "--sample", "--areas", "2"}, false},
      {{"--out", "d", "--colour"}, false},
  };
  for (const Case& c : cases) {
    ParseResult result = ParseOptions(c.args);
    std::string joined;
    for (const auto& a : c.args) joined += a + " ";
    EXPECT_EQ(result.options.has_value(), c.ok) << joined;
    EXPECT_EQ(result.error, !c.ok) << joined;
    if (!c.ok) {
      EXPECT_NE(result.message.find("usage:"), std::string::npos) << joined;
    }
  }
  EXPECT_EQ(ParseOptions({"--out", "d", "--sample"}).options->areas, 3);
}

TEST(TextBufferTest, MetresRoundToTheDecimalsWithoutNegativeZero) {
  struct Case {
    int decimals;
    int64_t millimetres;
    const char* text;
  };
  const Case cases[] = {
      {3, 0, "0.000"},
      {3, 1, "0.001"},
      {3, -1, "-0.001"},
      {3, 123456, "123.456"},
      {3, -40000000, "-40000.000"},
      {2, 123455, "123.46"},
      {2, -123455, "-123.46"},
      {2, -4, "0.00"},
      {2, -5, "-0.01"},
      {2, 999995, "1000.00"},
  };
  for (const Case& c : cases) {
    TextBuffer out(c.decimals);
    out.Metres(c.millimetres);
    EXPECT_EQ(out.str(), c.text) << c.millimetres << " with " << c.decimals;
  }
}

// Every file under root, relative path to content.
std::map<std::string, std::string> Snapshot(const fs::path& root) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (entry.is_regular_file()) {
      files[fs::relative(entry.path(), root).string()] = ReadBytes(entry.path());
    }
  }
  return files;
}

TEST(GeneratorTest, SameSeedGivesSameBytesAndAnotherSeedOthers) {
  GenOptions options;
  options.areas = 2;
  options.size_mb = 0.2;
  options.seed = 5;
  auto first = Snapshot(Generate("a", options));
  auto second = Snapshot(Generate("b", options));
  ASSERT_EQ(first.size(), 2u * 25u);
  EXPECT_TRUE(first == second);
  options.seed = 6;
  auto other = Snapshot(Generate("c", options));
  ASSERT_EQ(other.size(), first.size());
  int differing = 0;
  for (const auto& [path, text] : first) differing += other[path] != text;
  EXPECT_GT(differing, 20);
}

TEST(GeneratorTest, SizeFollowsTheRequestedMegabytes) {
  for (double mb : {0.3, 2.0}) {
    GenOptions options;
    options.size_mb = mb;
    options.out = FreshFolder(std::to_string(mb)).string();
    GenReport report = GenerateMapData(options);
    EXPECT_GT(report.bytes, mb * 1e6 * 0.8) << mb;
    EXPECT_LT(report.bytes, mb * 1e6 * 1.25) << mb;
  }
}

// Lines of the area's attribute files against the records they describe:
// a set generated without faults describes every record, one with faults
// leaves some out.
TEST(GeneratorTest, AttributeLinesAreLeftOutOnlyWhenAsked) {
  for (bool faults : {false, true}) {
    GenOptions options;
    options.size_mb = 0.5;
    options.faults = faults;
    fs::path area = Generate(faults ? "faulty" : "clean", options) / "13101";
    int records = 0, described = 0;
    for (auto [records_file, atr_file, key] :
         {std::tuple{"road/roadntwk.arc", "road/road.atr", 2},
          std::tuple{"gaiku/gaiku.pgn", "gaiku/gaiku.atr", 1},
          std::tuple{"tatemono/tatemono.pgn", "tatemono/tatemono.atr", 1}}) {
      std::set<std::string> keys;
      for (const std::string& line : ReadLines(area / atr_file)) keys.insert(Fields(line).at(1));
      for (const std::string& line : ReadLines(area / records_file)) {
        std::vector<std::string> f = Fields(line);
        if (f.size() < 4 || f[0].size() != 5) continue;
        ++records;
        described += keys.count(f.at(key)) > 0;
      }
    }
    EXPECT_GT(records, 500);
    if (faults) {
      EXPECT_LT(described, records);
    } else {
      EXPECT_EQ(described, records);
    }
  }
}

TEST(GeneratorTest, RefusesUnusableOutputFolders) {
  fs::path folder = FreshFolder("full");
  fs::create_directories(folder / "13101");
  GenOptions options;
  options.out = folder.string();
  options.sample = true;
  options.areas = 3;
  EXPECT_THROW(GenerateMapData(options), GenError);  // not empty
  options.force = true;
  EXPECT_NO_THROW(GenerateMapData(options));
  options.out = (folder / "13101" / "13101.txt").string();  // a file
  EXPECT_THROW(GenerateMapData(options), GenError);
}

}  // namespace
}  // namespace pelmora::gen::testing
