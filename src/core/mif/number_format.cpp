#include "number_format.hpp"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "../cpu_features.hpp"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define PELMORA_AVX2_PAIRS 1
#endif

namespace pelmora {
namespace {

constexpr int kSignificant = 18;
constexpr int kDecimals = 8;

// 10^0 to 10^19.
constexpr auto kPow10 = [] {
  std::array<uint64_t, 20> powers{};
  uint64_t p = 1;
  for (uint64_t& power : powers) {
    power = p;
    p *= 10;
  }
  return powers;
}();

// "00" to "99", to write two digits per division.
constexpr auto kDigitPairs = [] {
  std::array<char, 200> pairs{};
  for (int i = 0; i < 100; ++i) {
    pairs[2 * i] = static_cast<char>('0' + i / 10);
    pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
  }
  return pairs;
}();

void WritePair(uint32_t n, char* out) {  // n below 100
  std::memcpy(out, &kDigitPairs[2 * n], 2);
}

// Writes exactly eight digits of n (below 10^8), with leading zeros.
char* WriteEightDigits(uint32_t n, char* out) {
  const uint32_t high = n / 10000, low = n % 10000;
  WritePair(high / 100, out);
  WritePair(high % 100, out + 2);
  WritePair(low / 100, out + 4);
  WritePair(low % 100, out + 6);
  return out + 8;
}

// Writes the decimal digits of n without leading zeros ("0" for zero).
char* WriteDigits(uint64_t n, char* out) {
  int count = 1;
  while (count < 20 && n >= kPow10[count]) ++count;
  char* p = out + count;
  while (n >= 100) {
    p -= 2;
    WritePair(static_cast<uint32_t>(n % 100), p);
    n /= 100;
  }
  if (n >= 10) {
    WritePair(static_cast<uint32_t>(n), p - 2);
  } else {
    p[-1] = static_cast<char>('0' + n);
  }
  return out + count;
}

#if defined(__SSE2__)
// The eight decimal digits of n (below 10^8) in the 16-bit lanes, the first
// in lane 0: n is cut into two halves of four digits, each copied into four
// lanes, which are divided by 1000, 100, 10 and 1 at once by multiplying
// with scaled reciprocals; subtracting ten times each lane's left neighbour
// leaves one digit per lane.
__m128i EightDigitLanes(uint32_t n) {
  const __m128i value = _mm_cvtsi32_si128(static_cast<int>(n));
  // n / 10^4 and n % 10^4, by 0xd1b71759 / 2^45.
  const __m128i high = _mm_srli_epi64(_mm_mul_epu32(value, _mm_set1_epi32(0xd1b71759)), 45);
  const __m128i low = _mm_sub_epi32(value, _mm_mul_epu32(high, _mm_set1_epi32(10000)));
  // [high * 4, low * 4] in 16-bit lanes 0 and 1, then each in four lanes.
  const __m128i halves = _mm_slli_epi64(_mm_unpacklo_epi16(high, low), 2);
  const __m128i spread = _mm_unpacklo_epi16(halves, halves);
  const __m128i lanes = _mm_unpacklo_epi32(spread, spread);
  // Lane i of a half: the half divided by 10^(3-i).
  const __m128i reciprocals = _mm_setr_epi16(8389, 5243, 13108, -32768, 8389, 5243, 13108, -32768);
  const __m128i shifts =
      _mm_setr_epi16(1 << 7, 1 << 11, 1 << 13, -32768, 1 << 7, 1 << 11, 1 << 13, -32768);
  const __m128i prefixes = _mm_mulhi_epu16(_mm_mulhi_epu16(lanes, reciprocals), shifts);
  const __m128i tens = _mm_slli_epi64(_mm_mullo_epi16(prefixes, _mm_set1_epi16(10)), 16);
  return _mm_sub_epi16(prefixes, tens);
}

// "<integer>.<eight decimals>" with a leading "-" when negative, from eight
// ASCII digits each of the integer part and the fraction; zero_digits has
// bit i set when byte i of the integer digits is "0". The integer part is at
// least 1, so fewer than eight of its digits are 0 and are dropped.
char* WriteScaledDigits(bool negative, uint64_t integer_digits, uint64_t fraction_digits,
                        unsigned zero_digits, char* out) {
  const int zeros = std::countr_one(zero_digits & 0xFF);
  *out = '-';
  out += negative ? 1 : 0;
  const uint64_t integer_bytes = integer_digits >> (8 * zeros);
  std::memcpy(out, &integer_bytes, 8);
  out += 8 - zeros;
  *out++ = '.';
  std::memcpy(out, &fraction_digits, 8);
  return out + 8;
}

// "<integer>.<eight decimals>" of units / 10^8 for 10^8 <= units < 8 * 10^14,
// with a leading "-" when negative: sixteen digits in one vector, of which
// the leading zeros of the integer part are dropped.
char* WriteScaled(bool negative, uint64_t units, char* out) {
  const auto integer = static_cast<uint32_t>(units / kPow10[kDecimals]);
  const auto fraction = static_cast<uint32_t>(units % kPow10[kDecimals]);
  const __m128i digits = _mm_add_epi8(
      _mm_packus_epi16(EightDigitLanes(integer), EightDigitLanes(fraction)), _mm_set1_epi8('0'));
  const auto zero_digits =
      static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(digits, _mm_set1_epi8('0'))));
  return WriteScaledDigits(
      negative, static_cast<uint64_t>(_mm_cvtsi128_si64(digits)),
      static_cast<uint64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(digits, digits))), zero_digits,
      out);
}
#endif

#if defined(PELMORA_AVX2_PAIRS)
// EightDigitLanes for two numbers at once, one in the low 64 bits of each
// 128-bit half of value.
__attribute__((target("avx2"))) __m256i EightDigitLanesTwice(__m256i value) {
  const __m256i high =
      _mm256_srli_epi64(_mm256_mul_epu32(value, _mm256_set1_epi32(0xd1b71759)), 45);
  const __m256i low = _mm256_sub_epi32(value, _mm256_mul_epu32(high, _mm256_set1_epi32(10000)));
  const __m256i halves = _mm256_slli_epi64(_mm256_unpacklo_epi16(high, low), 2);
  const __m256i spread = _mm256_unpacklo_epi16(halves, halves);
  const __m256i lanes = _mm256_unpacklo_epi32(spread, spread);
  const __m256i reciprocals =
      _mm256_setr_epi16(8389, 5243, 13108, -32768, 8389, 5243, 13108, -32768, 8389, 5243, 13108,
                        -32768, 8389, 5243, 13108, -32768);
  const __m256i shifts =
      _mm256_setr_epi16(1 << 7, 1 << 11, 1 << 13, -32768, 1 << 7, 1 << 11, 1 << 13, -32768, 1 << 7,
                        1 << 11, 1 << 13, -32768, 1 << 7, 1 << 11, 1 << 13, -32768);
  const __m256i prefixes = _mm256_mulhi_epu16(_mm256_mulhi_epu16(lanes, reciprocals), shifts);
  const __m256i tens = _mm256_slli_epi64(_mm256_mullo_epi16(prefixes, _mm256_set1_epi16(10)), 16);
  return _mm256_sub_epi16(prefixes, tens);
}

// The integer part and the eight decimals of units / 10^8, each in the low
// 64 bits of one half.
__attribute__((target("avx2"))) __m256i IntegerAndFraction(uint64_t units) {
  return _mm256_setr_epi64x(static_cast<int64_t>(units / kPow10[kDecimals]), 0,
                            static_cast<int64_t>(units % kPow10[kDecimals]), 0);
}

// "<x> <y>" as two WriteScaled, with the 32 digits of both numbers made in
// two 256-bit vectors instead of four 128-bit ones.
__attribute__((target("avx2"))) char* WriteScaledPairAvx2(bool x_negative, uint64_t x_units,
                                                          bool y_negative, uint64_t y_units,
                                                          char* out) {
  // Bytes 0-7: the integer digits of x, 8-15 those of y; 16-23 and 24-31
  // the fraction digits of x and y.
  const __m256i digits =
      _mm256_add_epi8(_mm256_packus_epi16(EightDigitLanesTwice(IntegerAndFraction(x_units)),
                                          EightDigitLanesTwice(IntegerAndFraction(y_units))),
                      _mm256_set1_epi8('0'));
  const auto zero_digits =
      static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(digits, _mm256_set1_epi8('0'))));
  const __m128i integers = _mm256_castsi256_si128(digits);
  const __m128i fractions = _mm256_extracti128_si256(digits, 1);
  char* p =
      WriteScaledDigits(x_negative, static_cast<uint64_t>(_mm_cvtsi128_si64(integers)),
                        static_cast<uint64_t>(_mm_cvtsi128_si64(fractions)), zero_digits, out);
  *p++ = ' ';
  return WriteScaledDigits(y_negative, static_cast<uint64_t>(_mm_extract_epi64(integers, 1)),
                           static_cast<uint64_t>(_mm_extract_epi64(fractions, 1)), zero_digits >> 8,
                           p);
}
#endif

#if !defined(__SSE2__)
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

// "<integer>.<eight decimals>" of units / 10^8 for 10^8 <= units < 10^16,
// with a leading "-" when negative: no loop and no chain of divisions.
char* WriteScaled(bool negative, uint64_t units, char* out) {
  if (negative) *out++ = '-';
  const auto integer = static_cast<uint32_t>(units / kPow10[kDecimals]);
  const auto fraction = static_cast<uint32_t>(units % kPow10[kDecimals]);
  // The integer part without its leading zeros: it is at least 1, so fewer
  // than eight of its bytes are "0". Eight bytes are stored either way; the
  // ones past the digits are overwritten by what follows.
  const uint64_t integer_bytes = EightDigitBytes(integer);
  const int zeros = std::countr_zero(integer_bytes - 0x3030303030303030ULL) >> 3;
  const uint64_t shifted = integer_bytes >> (8 * zeros);
  std::memcpy(out, &shifted, 8);
  out += 8 - zeros;
  *out++ = '.';
  const uint64_t fraction_bytes = EightDigitBytes(fraction);
  std::memcpy(out, &fraction_bytes, 8);
  return out + 8;
}

#endif

// Converted coordinates are sums of short decimals, so they lie within a
// small fraction of a unit of the eighth decimal from a multiple of it. For
// 1 <= |value| < 8 * 10^6 the scaled value is then exact to 1/16 of a unit,
// and when it is within a quarter of a unit of an integer N, the value lies
// within 0.32 units of N; its rounding to 18 digits (11 or more decimals
// here) moves it by at most 0.0005 units, so both roundings of the
// definition give N. Sets units to N (the magnitude in units of 10^-8) and
// returns true when the shortcut applies.
bool NearGridUnits(double value, uint64_t& units) {
  const double magnitude = std::fabs(value);
  if (!(magnitude >= 1 && magnitude < 8e6)) return false;
  const double scaled = magnitude * 1e8;
  // scaled < 2^50 has a unit in the last place of at most 1/8, so adding
  // one half is exact and truncation then rounds to the nearest integer.
  // Converted as signed (scaled < 2^63), which takes one instruction.
  const auto nearest = static_cast<int64_t>(scaled + 0.5);
  units = static_cast<uint64_t>(nearest);
  return std::fabs(scaled - static_cast<double>(nearest)) <= 0.25;
}

size_t FormatNearGrid(double value, char* out) {
  uint64_t units;
  if (!NearGridUnits(value, units)) return 0;
  return static_cast<size_t>(WriteScaled(value < 0, units, out) - out);
}

// The same result as FormatCoordByDigits for 1 <= |value| < 10^9, the range
// of map coordinates, by exact integer arithmetic on the double's binary
// form instead of formatting and re-reading 18 digits. Returns 0 outside it.
size_t FormatCoordFast(double value, char* out) {
  const double magnitude = std::fabs(value);
  if (!(magnitude >= 1 && magnitude < 1e9)) return 0;
  // magnitude = mantissa * 2^-shift exactly, with 23 <= shift <= 52 here.
  uint64_t bits;
  std::memcpy(&bits, &magnitude, sizeof bits);
  const uint64_t mantissa = (bits & ((uint64_t{1} << 52) - 1)) | (uint64_t{1} << 52);
  const int shift = 1075 - static_cast<int>(bits >> 52);
  const uint64_t one = uint64_t{1} << shift, half = one >> 1;

  // Usually the value's own eighth-decimal rounding decides: the first
  // rounding to 18 digits moves the value by at most half a unit of its
  // last digit, which matters only when the rest beyond the eighth decimal
  // lies that close to one half. magnitude * 10^8 = scaled / 2^shift, where
  // scaled < 2^80 and its low 64 bits hold the rest (shift < 64).
  using u128 = unsigned __int128;
  const u128 scaled = static_cast<u128>(mantissa) * kPow10[kDecimals];
  const auto low = static_cast<uint64_t>(scaled);
  const uint64_t rest = low & (one - 1);
  const uint64_t off_half = rest > half ? rest - half : half - rest;
  uint64_t rounded = static_cast<uint64_t>(scaled >> shift) + (rest >= half ? 1 : 0);
  // The first rounding keeps at least one digit after the eighth decimal, so
  // only a rest within a tenth of a unit of one half needs a closer look.
  if (off_half * 10 <= one) {
    int integer_digits = 1;
    while (magnitude >= static_cast<double>(kPow10[integer_digits])) ++integer_digits;
    const int decimals = kSignificant - integer_digits;  // kept by the first rounding
    if (static_cast<u128>(off_half) * kPow10[decimals - kDecimals] <= one) {
      // Round twice as the definition does. First to 18 significant digits,
      // half to even; exact < 2^53 * 10^17 < 2^110.
      const u128 exact = static_cast<u128>(mantissa) * kPow10[decimals];
      uint64_t digits = static_cast<uint64_t>(exact >> shift);
      const auto exact_rest = static_cast<uint64_t>(exact) & (one - 1);
      if (exact_rest > half || (exact_rest == half && (digits & 1) != 0)) ++digits;
      // Then to eight decimals, half away from zero.
      const uint64_t unit = kPow10[decimals - kDecimals];
      rounded = (digits + unit / 2) / unit;
    }
  }

  char* p = out;
  if (value < 0) *p++ = '-';
  p = WriteDigits(rounded / kPow10[kDecimals], p);
  *p++ = '.';
  p = WriteEightDigits(static_cast<uint32_t>(rounded % kPow10[kDecimals]), p);
  return static_cast<size_t>(p - out);
}

}  // namespace

size_t FormatCoord(double value, char* out) {
  if (size_t n = FormatNearGrid(value, out)) return n;
  if (size_t n = FormatCoordFast(value, out)) return n;
  return FormatCoordByDigits(value, out);
}

size_t FormatCoordPair(double x, double y, char* out) {
#if defined(PELMORA_AVX2_PAIRS)
  uint64_t x_units, y_units;
  if (kProcessorHasAvx2 && NearGridUnits(x, x_units) && NearGridUnits(y, y_units)) {
    return static_cast<size_t>(WriteScaledPairAvx2(x < 0, x_units, y < 0, y_units, out) - out);
  }
#endif
  return FormatCoordPairPortable(x, y, out);
}

size_t FormatCoordPairPortable(double x, double y, char* out) {
  uint64_t x_units, y_units;
  if (NearGridUnits(x, x_units) && NearGridUnits(y, y_units)) {
    char* p = WriteScaled(x < 0, x_units, out);
    *p++ = ' ';
    p = WriteScaled(y < 0, y_units, p);
    return static_cast<size_t>(p - out);
  }
  size_t n = FormatCoord(x, out);
  out[n++] = ' ';
  return n + FormatCoord(y, out + n);
}

size_t FormatCoordByDigits(double value, char* out) {
  if (!std::isfinite(value)) value = 0;  // never reached: parsed numbers are finite
  // Scientific form with 17 decimals: d.ddddddddddddddddde±x, 18 digits.
  char sci[64];
  auto result = std::to_chars(sci, sci + sizeof sci, std::fabs(value),
                              std::chars_format::scientific, kSignificant - 1);
  const char* e = static_cast<const char*>(std::memchr(sci, 'e', result.ptr - sci));
  int exponent = 0;
  std::from_chars(e[1] == '+' ? e + 2 : e + 1, result.ptr, exponent);

  // digits[0] has the place value 10^exponent, digits[i] 10^(exponent-i).
  // One leading slot takes a carry out of the first digit.
  char digits[kSignificant + 1];
  digits[0] = 0;
  digits[1] = static_cast<char>(sci[0] - '0');
  for (int i = 1; i < kSignificant; ++i) digits[i + 1] = static_cast<char>(sci[i + 1] - '0');
  int top = exponent + 1;  // place value exponent of digits[0]

  // Keep the digits down to the eighth decimal, round at the next one.
  int keep = top + kDecimals + 1;  // number of slots kept
  if (keep < kSignificant + 1) {
    bool round_up = keep >= 0 && digits[keep] >= 5;
    for (int i = keep < 0 ? 0 : keep; i <= kSignificant; ++i) digits[i] = 0;
    for (int i = keep - 1; round_up && i >= 0; --i) {
      if (++digits[i] == 10) {
        digits[i] = 0;
      } else {
        round_up = false;
      }
    }
  }

  auto digit_at = [&](int place) -> char {  // digit with place value 10^place
    int i = top - place;
    return static_cast<char>('0' + (i >= 0 && i <= kSignificant ? digits[i] : 0));
  };
  bool zero = true;
  for (char d : digits) zero = zero && d == 0;

  char* p = out;
  if (value < 0 && !zero) *p++ = '-';
  int highest = top > 0 ? top : 0;
  while (highest > 0 && digit_at(highest) == '0') --highest;
  for (int place = highest; place >= 0; --place) *p++ = digit_at(place);
  *p++ = '.';
  for (int place = -1; place >= -kDecimals; --place) *p++ = digit_at(place);
  return static_cast<size_t>(p - out);
}

std::string FormatCoord(double value) {
  char buffer[kMaxCoordText];
  return std::string(buffer, FormatCoord(value, buffer));
}

}  // namespace pelmora
