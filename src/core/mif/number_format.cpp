#include "number_format.hpp"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "../cpu_features.hpp"
#include "scaled_number.hpp"

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

namespace {

// A pair of which at least one value is off the quick path: each on its own.
size_t FormatEach(double x, double y, char* out) {
  size_t n = FormatCoord(x, out);
  out[n++] = ' ';
  return n + FormatCoord(y, out + n);
}

}  // namespace

size_t FormatCoordPair(double x, double y, char* out) {
  uint64_t x_units, y_units;
  if (!NearGridUnits(x, x_units) || !NearGridUnits(y, y_units)) return FormatEach(x, y, out);
#if defined(PELMORA_AVX2_BODIES)
  if (kUseAvx2) {
    return static_cast<size_t>(WriteScaledPairAvx2(x < 0, x_units, y < 0, y_units, out) - out);
  }
#endif
  char* p = WriteScaled(x < 0, x_units, out);
  *p++ = ' ';
  return static_cast<size_t>(WriteScaled(y < 0, y_units, p) - out);
}

size_t FormatCoordPairPortable(double x, double y, char* out) {
  uint64_t x_units, y_units;
  if (!NearGridUnits(x, x_units) || !NearGridUnits(y, y_units)) return FormatEach(x, y, out);
  char* p = WriteScaledPortable(x < 0, x_units, out);
  *p++ = ' ';
  return static_cast<size_t>(WriteScaledPortable(y < 0, y_units, p) - out);
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
