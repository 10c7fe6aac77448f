#include "number_format.hpp"

#include <charconv>
#include <cmath>
#include <cstring>

namespace pelmora {
namespace {

constexpr int kSignificant = 18;
constexpr int kDecimals = 8;

}  // namespace

size_t FormatCoord(double value, char* out) {
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
