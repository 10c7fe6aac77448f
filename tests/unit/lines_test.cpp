#include "core/text/lines.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

namespace pelmora {
namespace {

TEST(SplitLinesTest, CutsAtEveryKindOfLineBreak) {
  struct Case {
    std::string text;
    LineTable lines;
  };
  for (const auto& c : std::vector<Case>{{"a\r\nb", {"a", "b"}},
                                         {"a\n\nb", {"a", "", "b"}},
                                         {"a\r\n", {"a"}},
                                         {"a\rb\nc\r\nd", {"a", "b", "c", "d"}},
                                         {"a\r\rb", {"a", "", "b"}},
                                         {"a\n\r", {"a", ""}},  // LF then a lone CR: two breaks
                                         {"", {}},
                                         {"\r\n", {""}},
                                         {"\r\n\r\n", {"", ""}},
                                         {std::string("a\nb\0c\nd", 7), {"a", "b"}},
                                         {std::string("\0abc", 4), {}}}) {
    LineTable lines{"stale"};
    SplitLines(c.text, lines);
    EXPECT_EQ(lines, c.lines);
    EXPECT_EQ(CountLines(c.text), c.lines.size()) << c.text;
  }
}

// Line breaks are found 64 bytes at a time: breaks at every offset of a
// block, a CR LF across two blocks, bytes near CR and LF in value, high
// bytes of Shift-JIS text and NUL bytes must all cut exactly where a
// byte-by-byte scan cuts.
TEST(SplitLinesTest, BlockwiseSearchCutsWhereAByteScanCuts) {
  const std::string alphabet = std::string("ab,\x0c\x0b\x0e\x8a\x8d\xe3") + "\r\n\r\n";
  std::mt19937 random(7);
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    const size_t length = random() % 200;  // across blocks of 64 bytes
    for (size_t i = 0; i < length; ++i) text += alphabet[random() % alphabet.size()];
    // Now and then a NUL byte, which ends the text.
    if (round % 5 == 0 && !text.empty()) text[random() % text.size()] = '\0';
    const std::string_view visible(text.data(), std::min(text.find('\0'), text.size()));
    LineTable expected;
    size_t start = 0;
    for (size_t i = 0; i < visible.size(); ++i) {
      if (text[i] != '\r' && text[i] != '\n') continue;
      expected.emplace_back(text.data() + start, i - start);
      if (text[i] == '\r' && i + 1 < visible.size() && text[i + 1] == '\n') ++i;
      start = i + 1;
    }
    if (start < visible.size()) expected.emplace_back(text.data() + start, visible.size() - start);
    LineTable lines;
    SplitLines(text, lines);
    ASSERT_EQ(lines, expected) << round;
  }
}

}  // namespace
}  // namespace pelmora
