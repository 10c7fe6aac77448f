#pragma once
// The bytes of a line that matter to the quick pass of field splitting,
// found for 16 bytes at a time, with SSE2 where it runs and a portable body
// beside it (see cpu_features.hpp).
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "../cpu_features.hpp"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace pelmora {

// Bit i of delimiters set when p[i] is the delimiter, of specials when it is
// a byte that only the general rules handle (a blank, a control character,
// NUL or a quote), for the n <= 16 bytes at p.
struct ByteClasses {
  uint32_t delimiters = 0;
  uint32_t specials = 0;
};

// Each body is a type with one Of(p, n, delimiter, readable), so that a loop
// over blocks is compiled once for each and the body is chosen once per line
// (WithByteClassifier), not once per block. readable: 16 bytes can be read
// at p even when n is smaller.
struct PortableByteClassifier {
  static ByteClasses Of(const char* p, size_t n, char delimiter, bool /*readable*/) {
    ByteClasses classes;
    for (size_t i = 0; i < n; ++i) {
      if (p[i] == delimiter) classes.delimiters |= 1u << i;
      if (static_cast<unsigned char>(p[i]) <= 32 || p[i] == '"') classes.specials |= 1u << i;
    }
    return classes;
  }
};

#if defined(__SSE2__)
struct Sse2ByteClassifier {
  static ByteClasses Of(const char* p, size_t n, char delimiter, bool readable) {
    char block[16];
    if (n < 16 && !readable) {  // copied, not to read past the end of the line
      std::memcpy(block, p, n);
      p = block;
    }
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i blank = _mm_set1_epi8(32);
    // min(byte, 32) == byte exactly for the bytes 0 to 32 (unsigned).
    const __m128i low = _mm_cmpeq_epi8(_mm_min_epu8(bytes, blank), bytes);
    const __m128i quote = _mm_cmpeq_epi8(bytes, _mm_set1_epi8('"'));
    const __m128i delimiters = _mm_cmpeq_epi8(bytes, _mm_set1_epi8(delimiter));
    const auto valid = static_cast<uint32_t>((uint64_t{1} << n) - 1);
    ByteClasses classes;
    classes.specials = static_cast<uint32_t>(_mm_movemask_epi8(_mm_or_si128(low, quote))) & valid;
    classes.delimiters = static_cast<uint32_t>(_mm_movemask_epi8(delimiters)) & valid;
    return classes;
  }
};
#endif

// body(classifier) with the SSE2 classifier where it runs, otherwise with
// the portable one. Always inline, so that the choice costs no call.
template <class Body>
[[gnu::always_inline]] inline auto WithByteClassifier(Body body) {
#if defined(__SSE2__)
  if (kUseSse2) return body(Sse2ByteClassifier{});
#endif
  return body(PortableByteClassifier{});
}

}  // namespace pelmora
