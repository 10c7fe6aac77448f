#pragma once
// The two number conversions of the map data: decimals for coordinates and
// sheet origins, integers for counts and arc references. Both are independent
// of the C locale; a text that is not a number raises DataError.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace pelmora {

// Leading and trailing blanks, an optional sign, digits with at most one ".",
// an optional exponent. Rounds to the nearest double. No "inf", "nan", hex or
// thousands separators; a value too large for a double is not a number.
double StrToFloat(std::string_view text);
std::optional<double> TryStrToFloat(std::string_view text);

// The two numbers of a coordinate line in its usual form, "<field 1>,<field 2>"
// with each field an optional "-" and at most 15 digits with at most one ".",
// read in one pass. Gives exactly what splitting the line and StrToFloat of
// fields 1 and 2 give; false for any other line, which must then be read the
// general way (it may still be valid, or raise the right error there).
bool TryReadCoordLine(std::string_view line, double& field1, double& field2);

// The same for a line followed in memory by at least kCoordLinePadding
// readable bytes, the first of which is a line break, NUL or zero (as the
// lines of an input file are): read in place, without a copy.
inline constexpr size_t kCoordLinePadding = 32;
bool TryReadCoordLineInPlace(std::string_view line, double& field1, double& field2);

// Leading blanks, an optional sign and decimal digits within the 32-bit range.
int32_t StrToInt(std::string_view text);
std::optional<int32_t> TryStrToInt(std::string_view text);

[[noreturn]] void ThrowNotAFloat(std::string_view text);
[[noreturn]] void ThrowNotAnInteger(std::string_view text);

}  // namespace pelmora
