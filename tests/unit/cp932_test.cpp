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

// iconv and Windows read and write these differently; both builds give what
// is pinned here, so that one data set gives the same messages and headers.
TEST(Cp932Test, OneTableOnEverySystem) {
  const std::string replacement = "\xEF\xBF\xBD";
  struct Decoded {
    std::string cp932, utf8;
  };
  for (const auto& c : std::vector<Decoded>{
           {"\x80", replacement},  // U+0080 on Windows
           {"\xA0", replacement},  // U+F8F0 on Windows
           {"\xFD\xFE", replacement + replacement},
           {"\x81\x60", "\xEF\xBD\x9E"},  // U+FF5E FULLWIDTH TILDE, not the wave dash
           {"\x81\x5F", "\xEF\xBC\xBC"},  // U+FF3C FULLWIDTH REVERSE SOLIDUS
           {"\x5C\x7E", "\\~"},           // ASCII, not U+00A5 and U+203E
           {"\x87\x40", "\xE2\x91\xA0"},  // NEC extension: U+2460 CIRCLED DIGIT ONE
           {"\xF0\x40", "\xEE\x80\x80"},  // user-defined: U+E000
       }) {
    EXPECT_EQ(Cp932ToUtf8Lossy(c.cp932), c.utf8) << c.utf8;
  }
  // Characters that code page 932 lacks, which iconv writes as a look-alike.
  for (const std::string utf8 :
       {"\xC2\xA5", "\xE2\x80\xBE", "\xE3\x80\x9C", "\xE2\x88\x92", "\xC2\x80"}) {
    EXPECT_THROW(Utf8ToCp932(utf8), std::runtime_error) << utf8;
  }
  EXPECT_EQ(Utf8ToCp932("\xEF\xBD\x9E"), "\x81\x60");
}

}  // namespace
}  // namespace pelmora
