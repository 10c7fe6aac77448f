// The indexed lookups answer exactly what rescanning the file for every call
// answers: the same lines or values, and the same error where it fails.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <typeinfo>

#include "core/errors.hpp"
#include "core/input/companion_file.hpp"
#include "reference/rescan_lookups.hpp"
#include "support/map_tree.hpp"

namespace pelmora {
namespace {

namespace fs = std::filesystem;

// What a call gave: its text, or the kind and message of its error.
template <typename Call>
std::string Outcome(Call call) {
  try {
    return "ok: " + call();
  } catch (const ConversionError& e) {
    return std::string("error ") + typeid(e).name() + ": " + e.what();
  }
}

std::string Indexed(CompanionFile& arcs, std::string_view reference) {
  std::vector<CoordLine> lines;
  AppendArcPoints(arcs, reference, lines);
  std::string text;
  for (const CoordLine& line : lines) text += std::string(line.text) + "|";
  return text;
}

std::string Rescanned(const std::string& path, std::string_view reference) {
  std::vector<std::string> lines;
  reference::AppendArcPoints(path, reference, lines);
  std::string text;
  for (const std::string& line : lines) text += line + "|";
  return text;
}

void ExpectSameArcs(const std::string& path, const std::vector<std::string>& references) {
  CompanionFile arcs;
  arcs.Reset(path, "area/arcs.arc", 3);
  for (const std::string& reference : references) {
    EXPECT_EQ(Outcome([&] { return Indexed(arcs, reference); }),
              Outcome([&] { return Rescanned(path, reference); }))
        << "reference '" << reference << "' in\n"
        << testing::FolderFileText(path);
  }
}

void ExpectSameAttributes(const std::string& path, const std::vector<std::string>& keys) {
  CompanionFile attributes;
  attributes.Reset(path, "area/values.atr", 2);
  for (const std::string& key : keys) {
    for (int count = -1; count <= 4; ++count) {
      EXPECT_EQ(Outcome([&] {
                  std::vector<std::string_view> values;
                  LookupAttributes(attributes, key, count, values);
                  std::string row;
                  AppendQuotedValues(row, values);
                  return row;
                }),
                Outcome([&] { return reference::LookupAttributes(path, key, count); }))
          << "key '" << key << "', count " << count << " in\n"
          << testing::FolderFileText(path);
    }
  }
}

struct FileCase {
  const char* text;
  std::vector<std::string> keys;
};

TEST(LookupReferenceTest, ArcLookupsOnChosenFiles) {
  const std::string folder = testing::MakeTempFolder("arcs");
  const std::string path = folder + "/arcs.arc";
  const std::vector<FileCase> cases = {
      // Two arcs of one number under different codes: the upper one counts.
      {"H,S,ARC\r\nL1101,1,7,2\r\n1,2\r\n3,4\r\nL1103,1,7,1\r\n5,6\r\n",
       {"7", "-7", "+7", "-0007"}},
      // 007 is not 7; m = 0 adds nothing; a number nobody carries adds nothing.
      {"H\r\nL1101,1,007,1\r\n1,2\r\nL1101,1,8,0\r\n", {"7", "8", "9", "007"}},
      // Counts that run past the end, or are no number, fail when reached.
      {"H\r\nL1101,1,1,1\r\n1,2\r\nL1101,1,2,5\r\n3,4\r\nL1101,1,3,x\r\n", {"1", "2", "-2", "3"}},
      // The header is tested like any line; quoted and blank-separated fields.
      {"H,S,4,1\r\n9,9\r\n\"L1101\",1,\"5\",1\r\n1,2\r\nL1101 1 6 1\r\n3,4\r\n", {"4", "5", "6"}},
      // References that are no integer fail before the file is read.
      {"H\r\nL1101,1,1,1\r\n1,2\r\n", {"x", "", "1.0", "2147483648", "-2147483648"}},
      // A negative count: nothing taken.
      {"H\r\nL1101,1,1,-3\r\n1,2\r\n", {"1", "-1"}},
      // Numbers far beyond the line count, and zero, are found like any.
      {"H\r\nL1101,1,70000,1\r\n1,2\r\nL1101,1,0,1\r\n3,4\r\nL1101,1,2147483647,1\r\n5,6\r\n",
       {"70000", "-70000", "0", "-0", "2147483647", "-2147483647", "69999"}},
  };
  for (const FileCase& c : cases) {
    testing::WriteTextFile(path, c.text);
    ExpectSameArcs(path, c.keys);
  }
  // A missing file: the same file-open error from both.
  ExpectSameArcs(folder + "/missing.arc", {"1", "x"});
  fs::remove_all(folder);
}

TEST(LookupReferenceTest, AttributeLookupsOnChosenFiles) {
  const std::string folder = testing::MakeTempFolder("atr");
  const std::string path = folder + "/values.atr";
  const std::vector<FileCase> cases = {
      {"X,12,Y,park\r\nX,12,Y,second\r\nX,012,Y,padded\r\n", {"12", "012", "13", ""}},
      {"X,,Y,empty key\r\nX,1,Y,a,\"b\"\"q\",c\r\nX,2,Y\r\n", {"", "1", "2", "b"}},
      {"X 3 Y v1 v2\r\n\"X\",\"4\",Y,\"quoted, with comma\"\r\n", {"3", "4"}},
      {"", {"1", ""}},
      {"X,99999999,Y,far\r\nX,0,Y,zero\r\nX,00,Y,two zeros\r\nX,4294967296,Y,wide\r\n",
       {"99999999", "0", "00", "4294967296", "1"}},
  };
  for (const FileCase& c : cases) {
    testing::WriteTextFile(path, c.text);
    ExpectSameAttributes(path, c.keys);
  }
  ExpectSameAttributes(folder + "/missing.atr", {"1"});
  fs::remove_all(folder);
}

// Files drawn from a small vocabulary, so that duplicates, odd spellings and
// broken counts meet often.
TEST(LookupReferenceTest, RandomFilesGiveTheSameAnswers) {
  const std::string folder = testing::MakeTempFolder("random");
  const std::string arc_path = folder + "/arcs.arc", atr_path = folder + "/values.atr";
  const std::vector<std::string> ids = {"1", "2", "3", "03", "\"2\"", "", " 3", "4 "};
  const std::vector<std::string> counts = {"0", "1", "2", "3", "-1", "x", "", "+1"};
  const std::vector<std::string> references = {"1", "2", "3", "-3", "+2", "-0001", "4", "x", ""};
  std::mt19937 random(2500);
  auto pick = [&](const std::vector<std::string>& from) { return from[random() % from.size()]; };
  for (int round = 0; round < 150; ++round) {
    std::string arcs = "H,S,A,B\r\n", values;
    for (int line = 0; line < 12; ++line) {
      if (random() % 3 == 0) {
        arcs += "L1101,1," + pick(ids) + "," + pick(counts) + "\r\n";
      } else {
        arcs += std::to_string(line) + "," + std::to_string(round) + "\r\n";
      }
      values += "X," + pick(ids) + ",Y,v" + std::to_string(line) + ",w\r\n";
    }
    testing::WriteTextFile(arc_path, arcs);
    testing::WriteTextFile(atr_path, values);
    ExpectSameArcs(arc_path, references);
    ExpectSameAttributes(atr_path, ids);
  }
  fs::remove_all(folder);
}

}  // namespace
}  // namespace pelmora
