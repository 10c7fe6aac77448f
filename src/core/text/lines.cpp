#include "lines.hpp"

#include <bit>
#include <cstdint>
#include <cstring>

namespace pelmora {
namespace {

static_assert(std::endian::native == std::endian::little,
              "the word-wise scan reads bytes low first");

constexpr uint64_t kOnes = 0x0101010101010101ULL;
constexpr uint64_t kHighs = 0x8080808080808080ULL;

// A mask with the high bit set in each byte of word that is a CR or an LF,
// exact up to and including the first such byte (bytes after it may show
// false hits, which only the lowest set bit is read past).
uint64_t LineBreakMask(uint64_t word) {
  const uint64_t lf = word ^ (kOnes * '\n');
  const uint64_t cr = word ^ (kOnes * '\r');
  return ((lf - kOnes) & ~lf & kHighs) | ((cr - kOnes) & ~cr & kHighs);
}

// The first CR or LF at or after p, or end. Eight bytes are tested at a time:
// lines of map data are short, so a call to memchr per line would cost more
// than the scan.
const char* FindLineBreak(const char* p, const char* end) {
  while (end - p >= 8) {
    uint64_t word;
    std::memcpy(&word, p, sizeof word);  // little-endian: byte 0 is the lowest
    if (uint64_t mask = LineBreakMask(word)) return p + (std::countr_zero(mask) >> 3);
    p += 8;
  }
  while (p < end && *p != '\n' && *p != '\r') ++p;
  return p;
}

}  // namespace

void SplitLines(std::string_view text, std::vector<std::string_view>& lines) {
  lines.clear();
  if (const void* nul = std::memchr(text.data(), '\0', text.size())) {
    text = text.substr(0, static_cast<const char*>(nul) - text.data());
  }
  const char* p = text.data();
  const char* end = p + text.size();
  while (p < end) {
    const char* q = FindLineBreak(p, end);
    lines.emplace_back(p, q - p);
    if (q < end && *q == '\r' && q + 1 < end && q[1] == '\n') ++q;
    p = q + 1;
  }
}

size_t CountLines(std::string_view text) {
  if (text.empty()) return 0;
  if (const void* nul = std::memchr(text.data(), '\0', text.size())) {
    text = text.substr(0, static_cast<const char*>(nul) - text.data());
  }
  size_t count = 0;
  const char* p = text.data();
  const char* end = p + text.size();
  while (p < end) {
    const char* q = p;
    while (q < end && *q != '\n' && *q != '\r') ++q;
    ++count;
    if (q < end && *q == '\r' && q + 1 < end && q[1] == '\n') ++q;
    p = q + 1;
  }
  return count;
}

}  // namespace pelmora
