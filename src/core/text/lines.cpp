#include "lines.hpp"

#include <bit>
#include <cstdint>
#include <cstring>

#include "../cpu_features.hpp"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace pelmora {
namespace {

// Bit i of breaks set when block[i] is a CR or an LF, of nuls when it is a
// NUL byte, for the 64 bytes of block. Map data has short lines, so finding
// all breaks of a block at once costs far less than a search per line.
void ScanBlockPortable(const char* block, uint64_t& breaks, uint64_t& nuls) {
  breaks = nuls = 0;
  for (int i = 0; i < 64; ++i) {
    if (block[i] == '\n' || block[i] == '\r') breaks |= uint64_t{1} << i;
    if (block[i] == '\0') nuls |= uint64_t{1} << i;
  }
}

#if defined(__SSE2__)
void ScanBlockSse2(const char* block, uint64_t& breaks, uint64_t& nuls) {
  const __m128i lf = _mm_set1_epi8('\n'), cr = _mm_set1_epi8('\r'), zero = _mm_setzero_si128();
  breaks = nuls = 0;
  for (int k = 0; k < 4; ++k) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 16 * k));
    const __m128i hits = _mm_or_si128(_mm_cmpeq_epi8(bytes, lf), _mm_cmpeq_epi8(bytes, cr));
    breaks |= static_cast<uint64_t>(static_cast<uint32_t>(_mm_movemask_epi8(hits))) << (16 * k);
    const auto nul_bits = static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, zero)));
    nuls |= static_cast<uint64_t>(nul_bits) << (16 * k);
  }
}
#endif

// The loop over blocks is compiled once for each body of ScanBlock, which
// is chosen once per text.
template <void (*ScanBlock)(const char*, uint64_t&, uint64_t&)>
[[gnu::noinline]] void SplitLinesWith(std::string_view text, LineTable& lines) {
  const char* base = text.data();
  size_t size = text.size();
  size_t start = 0;                 // where the current line begins
  size_t completing_lf = SIZE_MAX;  // the LF of a CR LF, which ends no line
  for (size_t block = 0; block < size; block += 64) {
    uint64_t breaks, nuls;
    if (size - block >= 64) {
      ScanBlock(base + block, breaks, nuls);
    } else {
      char tail[64];
      std::memset(tail, ' ', sizeof tail);  // neither break nor NUL
      std::memcpy(tail, base + block, size - block);
      ScanBlock(tail, breaks, nuls);
    }
    if (nuls != 0) {  // the text ends at its first NUL byte
      const int nul = std::countr_zero(nuls);
      size = block + static_cast<size_t>(nul);
      breaks &= (uint64_t{1} << nul) - 1;
    }
    for (; breaks != 0; breaks &= breaks - 1) {
      const size_t at = block + static_cast<size_t>(std::countr_zero(breaks));
      if (at == completing_lf) continue;
      lines.emplace_back(base + start, at - start);
      if (base[at] == '\r' && at + 1 < size && base[at + 1] == '\n') {
        completing_lf = at + 1;
        start = at + 2;
      } else {
        start = at + 1;
      }
    }
  }
  if (start < size) lines.emplace_back(base + start, size - start);
}

}  // namespace

void SplitLines(std::string_view text, LineTable& lines) {
  lines.clear();
#if defined(__SSE2__)
  if (kUseSse2) return SplitLinesWith<ScanBlockSse2>(text, lines);
#endif
  SplitLinesWith<ScanBlockPortable>(text, lines);
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
