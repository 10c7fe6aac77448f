#include "core/text/lines.hpp"

#include <gtest/gtest.h>

#include <string>

namespace pelmora {
namespace {

TEST(SplitLinesTest, CutsAtEveryKindOfLineBreak) {
  struct Case {
    std::string text;
    std::vector<std::string_view> lines;
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
    std::vector<std::string_view> lines{"stale"};
    SplitLines(c.text, lines);
    EXPECT_EQ(lines, c.lines);
  }
}

}  // namespace
}  // namespace pelmora
