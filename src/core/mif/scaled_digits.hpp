#pragma once
// The digits of "<integer>.<eight decimals>" made in vector registers, the
// lane code written once for both widths: 128 bits (SSE2) hold one number
// of eight digits, 256 bits (AVX2) two, one in each 128-bit half. Then one
// writer puts the digits in place, whichever way they were made.
//
// Included by scaled_number.cpp and by scaled_number_avx2.cpp, which is
// compiled with AVX2 enabled. So everything here is inline in an unnamed
// namespace and calls no library template: a copy built with AVX2 must never
// be shared with, and so be run by, code that runs where AVX2 may be missing.
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace pelmora {
namespace {

// "<integer>.<eight decimals>" with a leading "-" when negative, from eight
// ASCII digits each of the integer part and the fraction (the first digit in
// the lowest byte), of which leading_zeros (at most 7: the integer part is
// at least 1) are dropped. Stores 8 bytes for the integer part either way;
// the ones past its digits are overwritten by what follows.
inline char* WriteScaledDigits(bool negative, uint64_t integer_digits, uint64_t fraction_digits,
                               int leading_zeros, char* out) {
  *out = '-';
  out += negative ? 1 : 0;
  const uint64_t integer_bytes = integer_digits >> (8 * leading_zeros);
  std::memcpy(out, &integer_bytes, 8);
  out += 8 - leading_zeros;
  *out++ = '.';
  std::memcpy(out, &fraction_digits, 8);
  return out + 8;
}

// The number of "0" bytes that the lowest 8 bits of zero_digits (bit i set
// when byte i is "0") mark before the first other digit.
inline int LeadingZeroDigits(unsigned zero_digits) {
  return __builtin_ctz(~zero_digits | 0x100u);
}

#if defined(__SSE2__)
#if defined(__AVX2__)
#define PELMORA_IF_AVX2(...) __VA_ARGS__
#else
#define PELMORA_IF_AVX2(...)
#endif
// An operation of the lane code for both widths, from the SSE2 and the AVX2
// intrinsic of the same name (_mm_<op> and _mm256_<op>).
#define PELMORA_LANE_OP(name, op)             \
  inline __m128i name(__m128i a, __m128i b) { \
    return _mm_##op(a, b);                    \
  }                                           \
  PELMORA_IF_AVX2(inline __m256i name(__m256i a, __m256i b) { return _mm256_##op(a, b); })
#define PELMORA_LANE_SHIFT(name, op) \
  template <int kBits>               \
  __m128i name(__m128i a) {          \
    return _mm_##op(a, kBits);       \
  }                                  \
  PELMORA_IF_AVX2(template <int kBits> __m256i name(__m256i a) { return _mm256_##op(a, kBits); })

PELMORA_LANE_OP(MulEvenU32, mul_epu32)  // the 64-bit products of 32-bit lanes 0, 2, ...
PELMORA_LANE_OP(MulHighU16, mulhi_epu16)
PELMORA_LANE_OP(MulLow16, mullo_epi16)
PELMORA_LANE_OP(Sub32, sub_epi32)
PELMORA_LANE_OP(Sub16, sub_epi16)
PELMORA_LANE_OP(Add8, add_epi8)
PELMORA_LANE_OP(Equal8, cmpeq_epi8)
PELMORA_LANE_OP(InterleaveLow16, unpacklo_epi16)
PELMORA_LANE_OP(InterleaveLow32, unpacklo_epi32)
PELMORA_LANE_OP(PackU16ToU8, packus_epi16)
PELMORA_LANE_SHIFT(ShiftRight64, srli_epi64)
PELMORA_LANE_SHIFT(ShiftLeft64, slli_epi64)
#undef PELMORA_LANE_SHIFT
#undef PELMORA_LANE_OP
#undef PELMORA_IF_AVX2

// bits in every 64 bits of a vector.
template <class V>
V Broadcast64(uint64_t bits) {
  if constexpr (sizeof(V) == 16) {
    return _mm_set1_epi64x(static_cast<long long>(bits));
  } else {
    return _mm256_set1_epi64x(static_cast<long long>(bits));
  }
}

// Bit i set when the high bit of byte i is.
template <class V>
unsigned ByteMask(V bytes) {
  if constexpr (sizeof(V) == 16) {
    return static_cast<unsigned>(_mm_movemask_epi8(bytes));
  } else {
    return static_cast<unsigned>(_mm256_movemask_epi8(bytes));
  }
}

// The eight decimal digits of a number n below 10^8 held in the low 32 bits
// of each 128-bit half, in the 16-bit lanes of that half, the first digit in
// the lowest lane: n is cut into two halves of four digits, each copied into
// four lanes, which are divided by 1000, 100, 10 and 1 at once by multiplying
// with scaled reciprocals; subtracting ten times each lane's left neighbour
// leaves one digit per lane.
template <class V>
V EightDigitLanes(V n) {
  // n / 10^4 and n % 10^4, by 0xd1b71759 / 2^45.
  const V high = ShiftRight64<45>(MulEvenU32(n, Broadcast64<V>(0xd1b71759)));
  const V low = Sub32(n, MulEvenU32(high, Broadcast64<V>(10000)));
  // [high * 4, low * 4] in 16-bit lanes 0 and 1, then each in four lanes.
  const V halves = ShiftLeft64<2>(InterleaveLow16(high, low));
  const V spread = InterleaveLow16(halves, halves);
  const V lanes = InterleaveLow32(spread, spread);
  // Lane i of a half of four digits: the high 16 bits of its product with
  // 8389, 5243, 13108 and 32768, then with 2^7, 2^11, 2^13 and 2^15, are the
  // half divided by 10^(3-i).
  const V reciprocals = Broadcast64<V>(0x8000'3334'147B'20C5);
  const V shifts = Broadcast64<V>(0x8000'2000'0800'0080);
  const V prefixes = MulHighU16(MulHighU16(lanes, reciprocals), shifts);
  const V tens = ShiftLeft64<16>(MulLow16(prefixes, Broadcast64<V>(0x000A'000A'000A'000A)));
  return Sub16(prefixes, tens);
}

// The ASCII digits of the numbers in first (bytes 0-7 of each 128-bit half)
// and in second (bytes 8-15); zero_digits gets bit i set when byte i is "0".
template <class V>
V AsciiDigits(V first, V second, unsigned& zero_digits) {
  const V zeros = Broadcast64<V>(0x3030'3030'3030'3030);
  const V digits = Add8(PackU16ToU8(EightDigitLanes(first), EightDigitLanes(second)), zeros);
  zero_digits = ByteMask(Equal8(digits, zeros));
  return digits;
}
#endif

}  // namespace
}  // namespace pelmora
