#pragma once
// The MIF number format of coordinates: eight decimals, no exponent, rounded
// half away from zero after carrying the value to 18 significant digits.
#include <cstddef>
#include <string>

namespace pelmora {

// Longest text FormatCoord writes (a double's integer part has at most 309
// digits).
inline constexpr size_t kMaxCoordText = 340;

// Writes the text of value into out (room for kMaxCoordText bytes) and
// returns its length. A value that rounds to zero is "0.00000000" without a
// sign.
size_t FormatCoord(double value, char* out);
// "<x> <y>" as FormatCoord writes each, into out (room for 2 * kMaxCoordText
// + 1 bytes); returns the length. Map coordinates take a quicker path.
size_t FormatCoordPair(double x, double y, char* out);
// The same with the portable body for map coordinates, whatever the processor
// has (FormatCoordPair takes AVX2 or SSE2 where they run); for tests.
size_t FormatCoordPairPortable(double x, double y, char* out);
// The same text by way of the value's 18 leading decimal digits: the
// definition of the format, used for values outside the range of map
// coordinates and by tests.
size_t FormatCoordByDigits(double value, char* out);
std::string FormatCoord(double value);

}  // namespace pelmora
