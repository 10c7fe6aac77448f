#include "core/text/cp932.hpp"

#include <gtest/gtest.h>

namespace pelmora {
namespace {

TEST(Cp932Test, KnownByteSequencesBothWays) {
  struct Case {
    std::string utf8, cp932;
  };
  for (const auto& c : std::vector<Case>{{"図面番号", "\x90\x7D\x96\xCA\x94\xD4\x8D\x86"},
                                         {"表", "\x95\x5C"},  // second byte is the backslash byte
                                         {"ＸＹ３", "\x82\x77\x82\x78\x82\x52"},
                                         {"ｱ", "\xB1"},  // half-width katakana is one byte
                                         {"abc", "abc"},
                                         {"", ""}}) {
    EXPECT_EQ(Utf8ToCp932(c.utf8), c.cp932) << c.utf8;
    EXPECT_EQ(Cp932ToUtf8Lossy(c.cp932), c.utf8) << c.utf8;
  }
}

TEST(Cp932Test, BrokenBytesDecodeToReplacementCharacters) {
  EXPECT_EQ(Cp932ToUtf8Lossy("a\x82"), "a\xEF\xBF\xBD");
  EXPECT_EQ(Cp932ToUtf8Lossy("\xFF"
                             "b"),
            "\xEF\xBF\xBD"
            "b");
}

TEST(Cp932Test, TextWithoutCp932FormIsRefused) {
  EXPECT_THROW(Utf8ToCp932("\xF0\x9F\x98\x80"), std::runtime_error);  // an emoji
}

}  // namespace
}  // namespace pelmora
