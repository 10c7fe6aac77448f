// Hostile content: counts of two billion, rings that would multiply two
// files, lines of 100 MB. Each is refused with its message and place, or
// converted, without an allocation that follows an unchecked number.
#include "checks/output_check.hpp"
#include "core/text/fields.hpp"
#include "fault_fixture.hpp"

namespace pelmora::faults {
namespace {

const std::string kHeader = "H1,13101,a,b,c,d,e,1000,2000,x,y\r\n";

// Arc number 9: a record of a type no line layer takes, with n coordinate
// lines, for polygons to reference.
std::string SpareArc(int n) {
  std::string arc = "X9,1,9," + std::to_string(n) + "\r\n";
  for (int i = 0; i < n; ++i) arc += std::to_string(i) + ",1\r\n";
  return arc;
}

struct DataCase {
  const char* name;
  std::string arc;  // gyousei.arc
  std::string pgn;  // si_tyo.pgn
  int pairs_left;   // -1: the run succeeds
  std::string message;
};

constexpr size_t kCaseCount = 8;

// Made only when a case runs: two of them hold 100 MB.
DataCase MakeCase(size_t index) {
  const std::string huge_number(index == 6 ? 100'000'000 : 0, '9');
  const std::string commas(index == 7 ? 100'000'000 : 0, ',');
  std::vector<DataCase> cases = {
      {"count of two billion coordinate lines", kHeader + "L1101,1,1,2000000000\r\n0,0\r\n",
       kHeader, 0, "リストのインデックスが範囲を超えています (3)\n13101/gyousei/gyousei.arc 2行目"},
      {"negative count of coordinate lines", kHeader + "L1101,1,1,-2000000000\r\n", kHeader, 0,
       "範囲チェックエラー.\n13101/gyousei/gyousei.arc 2行目"},
      {"count beyond the integers", kHeader + "L1101,1,1,99999999999\r\n", kHeader, 0,
       "'99999999999' は整数ではありません.\n13101/gyousei/gyousei.arc 2行目"},
      {"polygon of two billion references", kHeader + SpareArc(2),
       kHeader + "A1105,1,2000000000\r\n9\r\n", 3,
       "リストのインデックスが範囲を超えています (3)\n13101/gyousei/si_tyo.pgn 2行目"},
      {"referenced arc of two billion lines", kHeader + "X9,1,9,2000000000\r\n0,0\r\n",
       kHeader + "A1105,1,1\r\n-9\r\n", 3,
       "リストのインデックスが範囲を超えています (3)\n13101/gyousei/gyousei.arc 2行目"},
      {"ring that would hold eight million vertices and more", kHeader + SpareArc(1000),
       kHeader + "A1105,1,8389\r\n" +
           [] {
             std::string refs;
             for (int i = 0; i < 8389; ++i) refs += "9\r\n";
             return refs;
           }(),
       3, "ポリゴンの頂点数が上限 (8388608) を超えています.\n13101/gyousei/si_tyo.pgn 8391行目"},
      {"coordinate of 100 MB without a line break", kHeader + "L1101,1,1,1\r\n1," + huge_number,
       kHeader, 0,
       "'" + std::string(200, '9') +
           "...' は浮動小数点数ではありません.\n13101/gyousei/gyousei.arc 3行目"},
      {"line of 100 MB of commas", kHeader + "L1101,1,1,1\r\n1,2" + commas + "\r\n", kHeader, -1,
       ""},
  };
  return std::move(cases[index]);
}

class HostileDataTest : public FaultTest, public ::testing::WithParamInterface<size_t> {};

TEST_P(HostileDataTest, IsRefusedWithItsPlaceOrConverted) {
  const DataCase c = MakeCase(GetParam());
  SCOPED_TRACE(c.name);
#ifdef _WIN32
  if (std::string(c.name).find("100 MB") != std::string::npos) {
    GTEST_SKIP() << "a file of 100 MB takes longer than the test's time under wine";
  }
#endif
  WriteFile(area() / "gyousei/gyousei.arc", c.arc);
  WriteFile(area() / "gyousei/si_tyo.pgn", c.pgn);
  RunOutcome outcome = Convert();
  EXPECT_EQ(outcome.failed, c.pairs_left >= 0);
  EXPECT_EQ(outcome.message, c.message);
  EXPECT_EQ(checks::CheckOutputFolder(out(), c.pairs_left >= 0 ? c.pairs_left : 6), "");
}

INSTANTIATE_TEST_SUITE_P(Data, HostileDataTest, ::testing::Range(size_t{0}, kCaseCount));

TEST(FieldSplitterBoundTest, KeepsOnlyTheFirstFields) {
  FieldSplitter fields;
  const std::string line = "a,b" + std::string(100'000, ',') + "z";
  fields.Split(line);
  EXPECT_LE(fields.Count(), FieldSplitter::kMaxFields + 1);
  EXPECT_EQ(fields[2], "b");
  EXPECT_EQ(fields[FieldSplitter::kMaxFields + 2], "");
}

}  // namespace
}  // namespace pelmora::faults
