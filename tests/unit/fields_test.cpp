#include "core/text/fields.hpp"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace pelmora {
namespace {

std::vector<std::string> AllFields(std::string_view line) {
  FieldSplitter splitter;
  splitter.Split(line);
  std::vector<std::string> fields;
  for (int n = 1; n <= splitter.Count(); ++n) fields.emplace_back(splitter[n]);
  return fields;
}

struct SplitCase {
  std::string line;
  std::vector<std::string> fields;
};

void PrintTo(const SplitCase& c, std::ostream* os) {
  *os << "[" << c.line << "]";
}

class SplitTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitTest, SplitsLikeTheRecordRule) {
  const auto& c = GetParam();
  EXPECT_EQ(AllFields(c.line), c.fields) << "line: [" << c.line << "]";
  // GetField must agree with the splitter field by field, and read past the
  // last field and below 1 as empty.
  for (size_t i = 0; i < c.fields.size(); ++i) {
    EXPECT_EQ(GetField(c.line, static_cast<int>(i) + 1), c.fields[i]);
  }
  EXPECT_EQ(GetField(c.line, static_cast<int>(c.fields.size()) + 1), "");
  EXPECT_EQ(GetField(c.line, 0), "");
  EXPECT_EQ(GetField(c.line, -3), "");
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SplitTest,
    testing::Values(SplitCase{"L1103,7,12,3", {"L1103", "7", "12", "3"}},
                    SplitCase{"a,,b", {"a", "", "b"}}, SplitCase{"a, ,b", {"a", "", "b"}},
                    SplitCase{",a", {"", "a"}}, SplitCase{"a,b,", {"a", "b", ""}},
                    SplitCase{"a,b, ", {"a", "b"}}, SplitCase{"a b,c", {"a", "b", "c"}},
                    SplitCase{"  a , b", {"a", "b"}}, SplitCase{"\"x,y\",z", {"x,y", "z"}},
                    SplitCase{"\"say \"\"hi\"\"\",z", {"say \"hi\"", "z"}},
                    SplitCase{"\"ab\"cd,e", {"ab", "cd", "e"}},
                    SplitCase{"\"open,to end", {"open,to end"}}, SplitCase{"\"a\"\"b", {"a\"b"}},
                    SplitCase{"\"\"\"\"", {"\""}}, SplitCase{"a\"b,c", {"a\"b", "c"}},
                    SplitCase{"", {}}, SplitCase{" \t ", {}}, SplitCase{",", {"", ""}},
                    SplitCase{"a,", {"a", ""}}, SplitCase{"a, ", {"a"}},
                    SplitCase{"a\tb", {"a", "b"}},
                    SplitCase{"-1234.5,678.25", {"-1234.5", "678.25"}},
                    SplitCase{"L1103 ,7", {"L1103", "7"}},
                    // Shift-JIS: second bytes 0x5C and 0x7C are ordinary bytes.
                    SplitCase{"\x95\x5C,\x83\x7C", {"\x95\x5C", "\x83\x7C"}},
                    SplitCase{std::string("a,b\0,c", 6), {"a", "b"}}));

TEST(FieldSplitterTest, ViewsOfQuotedValuesSurviveManyFields) {
  // Several values with doubled quotes in one line: every view must still
  // read correctly after the later ones were built.
  std::string line;
  std::vector<std::string> expected;
  for (int i = 0; i < 50; ++i) {
    line += "\"v" + std::to_string(i) + "\"\"q\",";
    expected.push_back("v" + std::to_string(i) + "\"q");
  }
  line += "end";
  expected.push_back("end");
  EXPECT_EQ(AllFields(line), expected);
}

TEST(PosFromTest, FindsFromTheStartPosition) {
  struct Case {
    int start;
    std::string pattern, subject;
    int expected;
  };
  for (const auto& c : std::vector<Case>{{3, ",", "a,b,c", 4},
                                         {9, ",", "a,b,c", 0},
                                         {0, ",", "a,b", 2},
                                         {-5, ",", "a,b", 2},
                                         {1, "", "a,b", 0},
                                         {1, ",", "", 0},
                                         {2, "b,", "a,b,c", 3},
                                         {5, "c", "a,b,c", 5},
                                         {6, "c", "a,b,c", 0}}) {
    EXPECT_EQ(PosFrom(c.start, c.pattern, c.subject), c.expected)
        << c.start << " [" << c.pattern << "] in [" << c.subject << "]";
  }
}

TEST(CountOccurrencesTest, CountsRawNonOverlappingOccurrences) {
  struct Case {
    int start;
    std::string pattern, subject;
    int expected;
  };
  for (const auto& c : std::vector<Case>{{1, ",", "a,b,,c", 3},
                                         {1, ",", "", 0},
                                         {1, ",", "\"x,y\",z", 2},
                                         {3, ",", "a,b,,c", 2},
                                         {0, ",", "a,b", 1},
                                         {7, ",", "a,b,,c", 0},
                                         {1, "aa", "aaaaa", 2},
                                         {1, "", "abc", 0}}) {
    EXPECT_EQ(CountOccurrences(c.start, c.pattern, c.subject), c.expected)
        << c.start << " [" << c.pattern << "] in [" << c.subject << "]";
  }
}

TEST(QuoteFieldTest, WrapsAndDoublesInnerQuotes) {
  EXPECT_EQ(QuoteField(""), "\"\"");
  EXPECT_EQ(QuoteField("13101-1"), "\"13101-1\"");
  EXPECT_EQ(QuoteField(" a b "), "\" a b \"");
  EXPECT_EQ(QuoteField("a\"b"), "\"a\"\"b\"");
  EXPECT_EQ(QuoteField("\"\""), "\"\"\"\"\"\"");
  EXPECT_EQ(QuoteField("\x95\x5C"), "\"\x95\x5C\"");
}

// A NUL byte ends a line wherever it stands: inside a plain value, between
// fields, right after a comma, inside quotes.
TEST(FieldSplitterTest, NulEndsTheLineAnywhere) {
  const std::string alphabet = std::string("a1,\" \t") + '\0';
  std::mt19937 random(11);
  FieldSplitter whole, cut;
  for (int round = 0; round < 20000; ++round) {
    std::string line;
    for (size_t i = random() % 12; i > 0; --i) line += alphabet[random() % alphabet.size()];
    whole.Split(line);
    cut.Split(std::string_view(line).substr(0, line.find('\0')));
    ASSERT_EQ(whole.Count(), cut.Count()) << round;
    for (int n = 1; n <= cut.Count(); ++n) ASSERT_EQ(whole[n], cut[n]) << round << " " << n;
  }
}

// Plain values are scanned eight bytes at a time: values of every length
// around the word size, ended by each kind of separator or by the line's end,
// with Shift-JIS bytes inside, must split as a byte scan splits them.
TEST(FieldSplitterTest, LongPlainValuesEndAtTheFirstSeparator) {
  const std::string filler = "0123456789.-\x93\x8c\x8b\x9e\x7f!";
  const std::string separators = std::string(",\t \x1f\x01") + '\0';
  std::mt19937 random(3);
  FieldSplitter fields;
  for (int round = 0; round < 5000; ++round) {
    std::vector<std::string> values;
    std::string line;
    for (int v = 0; v < 3; ++v) {
      std::string value;
      for (size_t i = random() % 20; i > 0; --i) value += filler[random() % filler.size()];
      if (value.empty()) value = "x";
      values.push_back(value);
      line += value + ",";
    }
    line.pop_back();
    fields.Split(line);
    ASSERT_EQ(fields.Count(), 3) << line;
    for (int n = 1; n <= 3; ++n) ASSERT_EQ(fields[n], values[n - 1]) << line;
    // A separator put into the second value (after its first byte, where a
    // blank would only be skipped) ends it there.
    if (values[1].size() < 2) continue;
    const size_t cut = values[0].size() + 2 + random() % (values[1].size() - 1);
    line[cut] = separators[random() % separators.size()];
    fields.Split(line);
    const std::string_view expected(line.data() + values[0].size() + 1, cut - values[0].size() - 1);
    ASSERT_EQ(fields[2], expected) << round;
  }
}

std::vector<std::string_view> Fields(const FieldSplitter& splitter) {
  std::vector<std::string_view> fields;
  for (int n = 1; n <= splitter.Count(); ++n) fields.push_back(splitter[n]);
  return fields;
}

// Split first tries a quick pass for lines without blanks and quotes; on any
// line it must cut exactly as the general rules do, up to and past the cap
// on the number of fields; FirstField must give field 1, and
// SurelyFewerFields must never claim too few fields.
TEST(FieldSplitterTest, QuickPassCutsLikeTheGeneralRules) {
  const std::string alphabet = std::string("ab7-.,,,\x95\x5C\"") + " \t";
  std::mt19937 random(11);
  std::vector<std::string> lines = {std::string(FieldSplitter::kMaxFields - 1, ','),
                                    std::string(FieldSplitter::kMaxFields, ','),
                                    std::string(FieldSplitter::kMaxFields + 3, ','),
                                    std::string(FieldSplitter::kMaxFields - 1, ',') + "x,",
                                    std::string(FieldSplitter::kMaxFields, ',') + "x"};
  for (int round = 0; round < 20000; ++round) {
    std::string line;
    // Most lines plain (the quick pass), some with a blank or a quote.
    const size_t letters = round % 3 == 0 ? alphabet.size() : alphabet.size() - 3;
    // Up to 40 bytes: the quick forms take lines of up to 32 bytes in one step.
    for (size_t i = random() % 41; i > 0; --i) line += alphabet[random() % letters];
    lines.push_back(line);
  }
  FieldSplitter quick, general, first, padded;
  for (const std::string& line : lines) {
    quick.Split(line);
    general.SplitGeneral(line);
    ASSERT_EQ(Fields(quick), Fields(general)) << "[" << line << "]";
    // Read in place, with bytes after the line that would change its fields
    // if they were taken for part of it.
    const std::string storage = line + std::string(kPaddingAfterLine, ',') + "\"";
    const std::string_view in_place(storage.data(), line.size());
    padded.SplitPadded(in_place);
    ASSERT_EQ(Fields(padded), Fields(general)) << "[" << line << "]";
    for (int n = 1; n <= 5; ++n) {
      ASSERT_EQ(SurelyFewerFieldsPadded(in_place, n), SurelyFewerFields(line, n)) << line;
    }
    ASSERT_EQ(FirstField(line, first), general[1]) << "[" << line << "]";
    for (int n = 1; n <= 5; ++n) {
      if (SurelyFewerFields(line, n)) {
        ASSERT_LT(general.Count(), n) << "[" << line << "]";
      }
    }
  }
  EXPECT_TRUE(SurelyFewerFields("12.5,30.25", 3));
  EXPECT_FALSE(SurelyFewerFields("L1108,2,1,10", 3));
  EXPECT_FALSE(SurelyFewerFields("12.5 30.25,1", 3));  // a blank also separates
}

// The quick test may say "maybe" too often but never "no" for a line whose
// field 1 equals the value.
TEST(FirstFieldMayEqualTest, NeverRejectsALineWhoseFirstFieldMatches) {
  struct Case {
    std::string line;
    bool may_equal;
  };
  const std::vector<Case> cases = {{"L1101,1,2,3", true},
                                   {"L1101", true},
                                   {"L1101 ,1", true},
                                   {"L11012,1", false},
                                   {"L110,1", false},
                                   {"12.5,30.0", false},
                                   {"-12.5,30.0", false},
                                   {" L1101,1", true},
                                   {"\"L1101\",1", true},
                                   {"", false},
                                   {std::string("L1101\0x", 7), true},
                                   {"\tL1101", true},
                                   {"L1101\t2", true},
                                   {"A1101,1", false}};
  FieldSplitter fields;
  for (const auto& c : cases) {
    EXPECT_EQ(FirstFieldMayEqual(c.line, "L1101"), c.may_equal) << c.line;
    fields.Split(c.line);
    if (fields[1] == "L1101") {
      EXPECT_TRUE(FirstFieldMayEqual(c.line, "L1101")) << c.line;
    }
  }
}

}  // namespace
}  // namespace pelmora
