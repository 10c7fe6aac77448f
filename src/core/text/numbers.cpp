#include "numbers.hpp"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string>

#include "../errors.hpp"
#include "cp932.hpp"

namespace pelmora {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Length of the decimal number at the start of s by the grammar above, or 0.
size_t MatchDecimal(std::string_view s) {
  size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  size_t digits = 0;
  while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
  }
  if (digits == 0) return 0;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    size_t j = i + 1;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
    size_t exponent_digits = 0;
    while (j < s.size() && IsDigit(s[j])) ++j, ++exponent_digits;
    if (exponent_digits == 0) return 0;
    i = j;
  }
  return i;
}

// Decimal order of a matched number without its sign: the power of ten of
// its first significant digit plus one. Decides whether a value out of the
// double's range was too large or too small.
long long DecimalOrder(std::string_view s) {
  long long order = 0;
  bool seen_digit = false, after_point = false;
  size_t i = 0;
  for (; i < s.size() && s[i] != 'e' && s[i] != 'E'; ++i) {
    if (s[i] == '.') {
      after_point = true;
    } else if (!seen_digit && s[i] == '0') {
      if (after_point) --order;
    } else {
      if (!seen_digit && after_point) ++order;
      seen_digit = true;
      if (!after_point) ++order;
    }
  }
  long long exponent = 0;
  if (i < s.size()) {
    size_t j = i + 1;
    bool negative = j < s.size() && s[j] == '-';
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
    for (; j < s.size() && exponent < 100000; ++j) exponent = exponent * 10 + (s[j] - '0');
    if (negative) exponent = -exponent;
  }
  return order + exponent;
}

// The offending text as a message quotes it. A field of hostile data can be
// a whole file long: beyond kMaxQuoted bytes it is cut at a character
// boundary and "..." shows the cut.
std::string QuotedText(std::string_view text) {
  constexpr size_t kMaxQuoted = 200;
  if (text.size() <= kMaxQuoted) return Cp932ToUtf8Lossy(text);
  size_t end = 0;
  while (end < kMaxQuoted) {
    auto lead = static_cast<unsigned char>(text[end]);
    const bool double_byte = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC);
    end += double_byte ? 2 : 1;
  }
  return Cp932ToUtf8Lossy(text.substr(0, end)) + "...";
}

constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Lines up to this length are read through a padded copy.
constexpr size_t kMaxPaddedLine = 32;

// The value of plain digits with at most one "." (no sign, no exponent) when
// it is exact to compute: at most 15 digits, so the integer they form is a
// double exactly, and at most 22 decimals, so the power of ten is one too;
// one division then rounds correctly. Nothing for any other text.
std::optional<double> FastDecimal(std::string_view s) {
  uint64_t digits = 0;
  int count = 0, decimals = -1;
  for (char c : s) {
    if (IsDigit(c)) {
      digits = digits * 10 + static_cast<uint64_t>(c - '0');
      if (++count > 15) return std::nullopt;
      if (decimals >= 0) ++decimals;
    } else if (c == '.' && decimals < 0) {
      decimals = 0;
    } else {
      return std::nullopt;
    }
  }
  if (count == 0) return std::nullopt;
  const double value = static_cast<double>(digits);
  return decimals > 0 ? value / kPowersOfTen[decimals] : value;
}

// FastDecimal's grammar after an optional "-", read from p up to the first
// byte outside it; returns that position, or nullptr when there is no such
// number at p.
const char* ReadPlainDecimal(const char* p, const char* end, double& value) {
  const bool negative = p < end && *p == '-';
  if (negative) ++p;
  // Digits past the fifteenth are refused below, so a wrapped sum is never
  // used.
  uint64_t digits = 0;
  const char* integer_start = p;
  while (p < end && IsDigit(*p)) digits = digits * 10 + static_cast<uint64_t>(*p++ - '0');
  auto count = static_cast<size_t>(p - integer_start);
  size_t decimals = 0;
  if (p < end && *p == '.') {
    const char* fraction_start = ++p;
    while (p < end && IsDigit(*p)) digits = digits * 10 + static_cast<uint64_t>(*p++ - '0');
    decimals = static_cast<size_t>(p - fraction_start);
    count += decimals;
  }
  if (count == 0 || count > 15) return nullptr;
  double magnitude = static_cast<double>(digits);
  if (decimals > 0) magnitude /= kPowersOfTen[decimals];
  value = negative ? -magnitude : magnitude;
  return p;
}

// The number of leading decimal digits among the eight bytes of word (the
// first byte lowest). After the exclusive or, a digit byte holds 0 to 9; any
// other byte has a bit in its high half, or gets one when 6 is added. A carry
// out of a byte only disturbs the bytes after the first non-digit.
int LeadingDigits(uint64_t word) {
  const uint64_t values = word ^ 0x3030303030303030ULL;
  const uint64_t others = (values | (values + 0x0606060606060606ULL)) & 0xF0F0F0F0F0F0F0F0ULL;
  return others == 0 ? 8 : std::countr_zero(others) >> 3;
}

// The value of the first count (1 to 7) digits of word: they are moved to
// the top bytes, with zeros before them, and combined pairwise.
uint64_t DigitsValue(uint64_t word, int count) {
  uint64_t digits = (word & 0x0F0F0F0F0F0F0F0FULL) << (8 * (8 - count));
  digits = (digits * 10 + (digits >> 8)) & 0x00FF00FF00FF00FFULL;
  digits = (digits * 100 + (digits >> 16)) & 0x0000FFFF0000FFFFULL;
  return (digits * 10000 + (digits >> 32)) & 0xFFFFFFFFULL;
}

constexpr uint64_t kIntegerPowersOfTen[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000};

// ReadPlainDecimal for text followed by at least kCoordLinePadding readable
// bytes, the first of which is no digit, "." or "-", so that eight bytes can
// be read anywhere in it: each run of up to seven digits is taken in one step
// (at most 14 digits in all, within FastDecimal's 15). Longer runs are left to
// ReadPlainDecimal.
const char* ReadPaddedDecimal(const char* p, const char* end, double& value) {
  const char* start = p;
  const bool negative = *p == '-';
  if (negative) ++p;
  uint64_t word;
  std::memcpy(&word, p, sizeof word);
  const int integer_digits = LeadingDigits(word);
  if (integer_digits == 8) return ReadPlainDecimal(start, end, value);
  uint64_t digits = integer_digits > 0 ? DigitsValue(word, integer_digits) : 0;
  p += integer_digits;
  int decimals = 0;
  if (*p == '.') {
    ++p;
    std::memcpy(&word, p, sizeof word);
    decimals = LeadingDigits(word);
    if (decimals == 8) return ReadPlainDecimal(start, end, value);
    if (decimals > 0) digits = digits * kIntegerPowersOfTen[decimals] + DigitsValue(word, decimals);
    p += decimals;
  }
  if (integer_digits + decimals == 0) return nullptr;
  double magnitude = static_cast<double>(digits);  // at most 14 digits: exact
  if (decimals > 0) magnitude /= kPowersOfTen[decimals];
  value = negative ? -magnitude : magnitude;
  return p;
}

}  // namespace

void ThrowNotAFloat(std::string_view text) {
  throw DataError("'" + QuotedText(text) + "' は浮動小数点数ではありません");
}

void ThrowNotAnInteger(std::string_view text) {
  throw DataError("'" + QuotedText(text) + "' は整数ではありません");
}

std::optional<double> TryStrToFloat(std::string_view text) {
  std::string_view s = text;
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  if (s.empty()) return std::nullopt;
  const bool negative = s.front() == '-';
  const bool signed_text = s.front() == '+' || s.front() == '-';
  if (auto value = FastDecimal(signed_text ? s.substr(1) : s)) return negative ? -*value : *value;
  if (MatchDecimal(s) != s.size()) return std::nullopt;
  if (signed_text) s.remove_prefix(1);

  double value = 0;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
  if (ec == std::errc::result_out_of_range) {
    // Too small for a double rounds to zero; too large is not a number.
    if (DecimalOrder(s) > 0) return std::nullopt;
    value = 0;
  } else if (ec != std::errc() || end != s.data() + s.size()) {
    return std::nullopt;
  }
  if (!std::isfinite(value)) return std::nullopt;
  return negative ? -value : value;
}

double StrToFloat(std::string_view text) {
  if (auto value = TryStrToFloat(text)) return *value;
  ThrowNotAFloat(text);
}

bool TryReadCoordLineInPlace(std::string_view line, double& field1, double& field2) {
  // Such a line has no blank, quote or control character, so its fields are
  // exactly the two texts around the comma, and StrToFloat reads each of them
  // by FastDecimal. The byte after the line ends any number, so runs of
  // digits can be read eight bytes at a time up to the line's end.
  const char* end = line.data() + line.size();
  const char* p = ReadPaddedDecimal(line.data(), end, field1);
  if (p == nullptr || p == end || *p != ',') return false;
  return ReadPaddedDecimal(p + 1, end, field2) == end;
}

bool TryReadCoordLine(std::string_view line, double& field1, double& field2) {
  // A short line is read from a copy followed by zero bytes.
  if (line.size() <= kMaxPaddedLine) {
    char padded[kMaxPaddedLine + kCoordLinePadding] = {};
    std::memcpy(padded, line.data(), line.size());
    return TryReadCoordLineInPlace(std::string_view(padded, line.size()), field1, field2);
  }
  const char* end = line.data() + line.size();
  const char* p = ReadPlainDecimal(line.data(), end, field1);
  if (p == nullptr || p == end || *p != ',') return false;
  return ReadPlainDecimal(p + 1, end, field2) == end;
}

std::optional<int32_t> TryStrToInt(std::string_view text) {
  std::string_view s = text;
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  bool negative = false;
  if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  if (s.empty()) return std::nullopt;
  int64_t value = 0;
  for (char c : s) {
    if (!IsDigit(c)) return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > int64_t{INT32_MAX} + 1) return std::nullopt;
  }
  if (negative) value = -value;
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<int32_t>(value);
}

int32_t StrToInt(std::string_view text) {
  if (auto value = TryStrToInt(text)) return *value;
  ThrowNotAnInteger(text);
}

}  // namespace pelmora
