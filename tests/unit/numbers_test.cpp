#include "core/text/numbers.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <clocale>
#include <cstdint>
#include <random>
#include <string>

#include "core/errors.hpp"
#include "core/text/fields.hpp"

namespace pelmora {
namespace {

TEST(StrToFloatTest, AcceptsTheDecimalGrammar) {
  struct Case {
    const char* text;
    double value;
  };
  for (const auto& c : std::vector<Case>{{"1.5e3", 1500},
                                         {" 12.5 ", 12.5},
                                         {"-1234.5", -1234.5},
                                         {"+7", 7},
                                         {"5.", 5},
                                         {".5", 0.5},
                                         {"-.5", -0.5},
                                         {"1E+2", 100},
                                         {"1e-2", 0.01},
                                         {"007", 7},
                                         {"-0", 0},
                                         {"1e-400", 0},
                                         {"0.1", 0.1},
                                         {"123456.789", 123456.789},
                                         {"1.7976931348623157e308", 1.7976931348623157e308}}) {
    EXPECT_EQ(StrToFloat(c.text), c.value) << c.text;
  }
}

TEST(StrToFloatTest, RejectsEverythingElseWithTheNumberMessage) {
  for (const char* text :
       {"",    " ",   "12,5",     "12.5x", "1.2.3", "e5",    "1e",  "1e+", ".",   "+",  "-",
        "inf", "nan", "Infinity", "0x1A",  "1,000", "1e999", "--1", "\t1", "1\t", "1 2"}) {
    try {
      StrToFloat(text);
      ADD_FAILURE() << "accepted [" << text << "]";
    } catch (const DataError& e) {
      EXPECT_EQ(e.what(), "'" + std::string(text) + "' は浮動小数点数ではありません");
    }
  }
}

TEST(StrToFloatTest, RoundsCorrectlyWhateverTheLocale) {
  // A locale with a decimal comma must not change the result.
  const char* old = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
  EXPECT_EQ(StrToFloat("0.1"), 0.1);
  EXPECT_EQ(StrToFloat("9007199254740993"), 9007199254740992.0);  // ties to even
  EXPECT_EQ(StrToFloat("2.2250738585072011e-308"), 2.2250738585072011e-308);
  if (old) std::setlocale(LC_NUMERIC, "C");
}

// Short plain decimals take a shortcut; it must round exactly as the full
// conversion does, also at the length where the shortcut stops applying.
TEST(StrToFloatTest, ShortDecimalsRoundLikeTheFullConversion) {
  std::mt19937_64 random(25);
  for (int i = 0; i < 200000; ++i) {
    const int length = 1 + static_cast<int>(random() % 18);
    std::string text;
    for (int k = 0; k < length; ++k) text += static_cast<char>('0' + random() % 10);
    text.insert(random() % (text.size() + 1), ".");
    if (text == ".") continue;
    if (i % 3 == 0) text.insert(0, "-");
    double want = 0;
    const char* begin = text.data() + (text[0] == '-');
    std::from_chars(begin, text.data() + text.size(), want);
    if (text[0] == '-') want = -want;
    ASSERT_EQ(StrToFloat(text), want) << text;
  }
}

// Coordinate lines are read in one pass when they have the usual form; the
// numbers must be those of splitting the line and converting fields 1 and 2,
// and a line of any other form must be left to that general way.
TEST(TryReadCoordLineTest, ReadsWhatSplittingAndConvertingRead) {
  struct Case {
    std::string line;
    bool quick;
  };
  std::vector<Case> cases = {{"12.5,30.25", true},
                             {"-0.00,7.35", true},
                             {"5.,.5", true},
                             {"123456789012345,1", true},
                             {"1234567890123456,1", false},
                             {"1,2,", false},
                             {"1,2,3", false},
                             {" 1,2", false},
                             {"1,2 ", false},
                             {"+1,2", false},
                             {"1e3,2", false},
                             {".,2", false},
                             {"1,", false},
                             {",1", false},
                             {"1..2,3", false},
                             {"--1,2", false},
                             {"1;2", false}};
  std::mt19937 random(5);
  const std::string alphabet = "0123456789-.,";
  for (int i = 0; i < 50000; ++i) {
    std::string line;
    for (size_t n = 1 + random() % 34; n > 0; --n) line += alphabet[random() % alphabet.size()];
    cases.push_back({line, false});
  }
  // Lines of the usual form with numbers of 1 to 18 bytes: runs of digits
  // around the eight bytes read at a time, and up to 16 digits.
  const auto number = [&] {
    std::string text = random() % 3 == 0 ? "-" : "";
    const size_t digits = 1 + random() % 16;
    const size_t dot = random() % (digits + 2);  // digits + 1: none
    for (size_t k = 0; k < digits; ++k) {
      if (k == dot) text += '.';
      text += static_cast<char>('0' + random() % 10);
    }
    if (dot == digits) text += '.';
    return text;
  };
  for (int i = 0; i < 50000; ++i) cases.push_back({number() + "," + number(), false});
  FieldSplitter fields;
  for (size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    double first = 0, second = 0;
    const bool quick = TryReadCoordLine(c.line, first, second);
    if (i < 17) {
      EXPECT_EQ(quick, c.quick) << c.line;
    }
    // In place, as a line of a file: followed by its line break and more
    // digits, which must not be taken for part of the last number.
    const std::string file = c.line + "\r\n" + "5678.25,1" + std::string(kCoordLinePadding, '\0');
    double in_place_first = 0, in_place_second = 0;
    ASSERT_EQ(TryReadCoordLineInPlace(std::string_view(file.data(), c.line.size()), in_place_first,
                                      in_place_second),
              quick)
        << c.line;
    if (quick) {
      ASSERT_EQ(std::bit_cast<uint64_t>(in_place_first), std::bit_cast<uint64_t>(first));
      ASSERT_EQ(std::bit_cast<uint64_t>(in_place_second), std::bit_cast<uint64_t>(second));
    }
    if (!quick) continue;
    fields.Split(c.line);
    ASSERT_EQ(fields.Count(), 2) << c.line;
    const auto want_first = TryStrToFloat(fields[1]), want_second = TryStrToFloat(fields[2]);
    ASSERT_TRUE(want_first && want_second) << c.line;
    // Compared bit for bit, so that -0 and 0 differ.
    ASSERT_EQ(std::bit_cast<uint64_t>(first), std::bit_cast<uint64_t>(*want_first)) << c.line;
    ASSERT_EQ(std::bit_cast<uint64_t>(second), std::bit_cast<uint64_t>(*want_second)) << c.line;
  }
}

TEST(StrToIntTest, AcceptsLeadingBlanksSignsAndZeros) {
  struct Case {
    const char* text;
    int32_t value;
  };
  for (const auto& c : std::vector<Case>{{"3", 3},
                                         {"  42", 42},
                                         {"-7", -7},
                                         {"+7", 7},
                                         {"-0012", -12},
                                         {"2147483647", 2147483647},
                                         {"-2147483648", INT32_MIN}}) {
    EXPECT_EQ(StrToInt(c.text), c.value) << c.text;
  }
}

TEST(StrToIntTest, RejectsEverythingElseWithTheIntegerMessage) {
  for (const char* text : {"", " ", "3 ", "1.0", "2147483648", "-2147483649",
                           "99999999999999999999", "$1F", "0x10", "- 1", "+", "1e3", "a"}) {
    try {
      StrToInt(text);
      ADD_FAILURE() << "accepted [" << text << "]";
    } catch (const DataError& e) {
      EXPECT_EQ(e.what(), "'" + std::string(text) + "' は整数ではありません");
    }
  }
}

TEST(NumberMessagesTest, QuoteShiftJisDataAsReadableText) {
  try {
    StrToFloat("\x93\x8C\x8B\x9E");  // 東京 in code page 932
    FAIL();
  } catch (const DataError& e) {
    EXPECT_EQ(std::string(e.what()), "'東京' は浮動小数点数ではありません");
  }
}

}  // namespace
}  // namespace pelmora
