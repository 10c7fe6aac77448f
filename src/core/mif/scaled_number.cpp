#include "scaled_number.hpp"

#include <bit>

#include "../cpu_features.hpp"
#include "scaled_digits.hpp"

namespace pelmora {
namespace {

constexpr uint64_t kUnitsPerOne = 100000000;  // 10^8 units of the eighth decimal

// The eight ASCII digits of n (below 10^8) with leading zeros, the first
// digit in the lowest byte, computed for all eight lanes at once: n is cut
// into halves of four digits, each half into pairs, each pair into digits,
// with multiplications that stand for divisions by 10^4, 100 and 10.
uint64_t EightDigitBytes(uint32_t n) {
  const uint64_t halves = (n / 10000) | (static_cast<uint64_t>(n % 10000) << 32);
  const uint64_t hundreds = ((halves * 10486) >> 20) & 0x0000007F0000007FULL;
  const uint64_t pairs = hundreds | ((halves - hundreds * 100) << 16);
  const uint64_t tens = ((pairs * 103) >> 10) & 0x000F000F000F000FULL;
  const uint64_t digits = tens | ((pairs - tens * 10) << 8);
  return digits + 0x3030303030303030ULL;
}

}  // namespace

char* WriteScaledPortable(bool negative, uint64_t units, char* out) {
  const uint64_t integer_digits = EightDigitBytes(static_cast<uint32_t>(units / kUnitsPerOne));
  const uint64_t fraction_digits = EightDigitBytes(static_cast<uint32_t>(units % kUnitsPerOne));
  // A byte of the integer digits minus "0" is zero exactly for a "0".
  const int zeros = std::countr_zero(integer_digits - 0x3030303030303030ULL) >> 3;
  return WriteScaledDigits(negative, integer_digits, fraction_digits, zeros, out);
}

namespace {

#if defined(__SSE2__)
// The sixteen digits of the integer part and the fraction in one vector.
char* WriteScaledSse2(bool negative, uint64_t units, char* out) {
  const auto integer = static_cast<int>(units / kUnitsPerOne);
  const auto fraction = static_cast<int>(units % kUnitsPerOne);
  unsigned zero_digits;
  const __m128i digits =
      AsciiDigits(_mm_cvtsi32_si128(integer), _mm_cvtsi32_si128(fraction), zero_digits);
  return WriteScaledDigits(
      negative, static_cast<uint64_t>(_mm_cvtsi128_si64(digits)),
      static_cast<uint64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(digits, digits))),
      LeadingZeroDigits(zero_digits), out);
}
#endif

}  // namespace

char* WriteScaled(bool negative, uint64_t units, char* out) {
#if defined(__SSE2__)
  if (kUseSse2) return WriteScaledSse2(negative, units, out);
#endif
  return WriteScaledPortable(negative, units, out);
}

}  // namespace pelmora
