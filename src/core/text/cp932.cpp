#include "cp932.hpp"

#include <stdexcept>

#include "../platform/system.hpp"

namespace pelmora {
namespace {

bool IsLeadByte(unsigned char b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// Single bytes that the two systems' converters read differently (Windows
// gives them U+0080 and private-use code points, iconv refuses them): they
// stand for no character on either, so that a message reads alike on both.
bool IsUnmappedSingleByte(unsigned char b) {
  return b == 0x80 || b == 0xA0 || b >= 0xFD;
}

// The length of the character at i: two bytes from a lead byte on, when a
// second byte follows.
size_t CharLength(std::string_view text, size_t i) {
  return IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
}

bool HasUnmappedByte(std::string_view cp932) {
  for (size_t i = 0; i < cp932.size(); i += CharLength(cp932, i)) {
    if (CharLength(cp932, i) == 1 && IsUnmappedSingleByte(static_cast<unsigned char>(cp932[i]))) {
      return true;
    }
  }
  return false;
}

}  // namespace

std::string Utf8ToCp932(std::string_view utf8) {
  // iconv also gives bytes for a few characters that code page 932 lacks
  // (U+00A5, U+203E, U+301C, ...), those of a look-alike; only a text that
  // reads back as it was has a code page 932 form, on every system.
  std::optional<std::string> cp932 = platform::Utf8ToCp932(utf8);
  if (!cp932 || HasUnmappedByte(*cp932) || platform::Cp932ToUtf8(*cp932) != utf8) {
    throw std::runtime_error("text has no code page 932 form: " + std::string(utf8));
  }
  return *cp932;
}

std::string Cp932ToUtf8Lossy(std::string_view cp932) {
  if (!HasUnmappedByte(cp932)) {
    if (std::optional<std::string> whole = platform::Cp932ToUtf8(cp932)) return *whole;
  }
  // Character by character: a byte that starts no character becomes U+FFFD
  // and the next byte is read afresh.
  std::string out;
  for (size_t i = 0; i < cp932.size();) {
    const auto byte = static_cast<unsigned char>(cp932[i]);
    if (byte < 0x80) {
      out += static_cast<char>(byte);
      ++i;
      continue;
    }
    const size_t length = CharLength(cp932, i);
    std::optional<std::string> character;
    if (length == 2 || !IsUnmappedSingleByte(byte)) {
      character = platform::Cp932ToUtf8(cp932.substr(i, length));
    }
    if (character) {
      out += *character;
      i += length;
    } else {
      out += "\xEF\xBF\xBD";  // U+FFFD REPLACEMENT CHARACTER
      ++i;
    }
  }
  return out;
}

}  // namespace pelmora
