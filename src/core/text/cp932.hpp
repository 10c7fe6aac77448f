#pragma once
// Code page 932 (Windows Shift-JIS), the encoding of the map data and of the
// MIF/MID files. The program's own texts are UTF-8 in the source; column names
// are turned into code page 932 for the MIF header, and texts quoted from the
// data are turned into UTF-8 for messages. Data bytes themselves pass through
// the conversion untouched.
#include <string>
#include <string_view>

namespace pelmora {

// Converts UTF-8 to code page 932; throws std::runtime_error for a character
// that code page 932 lacks (only the program's own fixed texts go this way).
std::string Utf8ToCp932(std::string_view utf8);

// Converts code page 932 to UTF-8. A byte sequence that is not code page 932
// becomes U+FFFD, so a message that quotes broken data still reads.
std::string Cp932ToUtf8Lossy(std::string_view cp932);

}  // namespace pelmora
