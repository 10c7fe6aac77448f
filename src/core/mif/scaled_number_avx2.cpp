// Compiled with AVX2 enabled: nothing here may run unless kUseAvx2 is true.
#include "scaled_digits.hpp"
#include "scaled_number.hpp"

namespace pelmora {
namespace {

// The integer part and the eight decimals of units / 10^8, each in the low
// 64 bits of one 128-bit half.
__m256i IntegerAndFraction(uint64_t units) {
  return _mm256_setr_epi64x(static_cast<long long>(units / 100000000), 0,
                            static_cast<long long>(units % 100000000), 0);
}

}  // namespace

// The 32 digits of both numbers made in two 256-bit vectors instead of four
// 128-bit ones.
char* WriteScaledPairAvx2(bool x_negative, uint64_t x_units, bool y_negative, uint64_t y_units,
                          char* out) {
  // Bytes 0-7: the integer digits of x, 8-15 those of y; 16-23 and 24-31
  // the fraction digits of x and y.
  unsigned zero_digits;
  const __m256i digits =
      AsciiDigits(IntegerAndFraction(x_units), IntegerAndFraction(y_units), zero_digits);
  const __m128i integers = _mm256_castsi256_si128(digits);
  const __m128i fractions = _mm256_extracti128_si256(digits, 1);
  char* p = WriteScaledDigits(x_negative, static_cast<uint64_t>(_mm_cvtsi128_si64(integers)),
                              static_cast<uint64_t>(_mm_cvtsi128_si64(fractions)),
                              LeadingZeroDigits(zero_digits), out);
  *p++ = ' ';
  return WriteScaledDigits(y_negative, static_cast<uint64_t>(_mm_extract_epi64(integers, 1)),
                           static_cast<uint64_t>(_mm_extract_epi64(fractions, 1)),
                           LeadingZeroDigits(zero_digits >> 8), p);
}

}  // namespace pelmora
