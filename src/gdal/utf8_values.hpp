#pragma once
// The values of the map data (code page 932 bytes) as the UTF-8 text that
// GDAL's formats hold, with the one rule for bytes that are no code page 932
// text: the GDAL writers and the GDAL driver turn and report them alike.
#include <string>
#include <string_view>

namespace pelmora::gdal {

// Puts the UTF-8 text of value into utf8 (reusing its room). Returns false
// when some bytes were no code page 932 text and became U+FFFD.
bool ToUtf8Value(std::string_view value, std::string& utf8);

// The warning about such a value, quoting its text as turned.
std::string ReplacedValueWarning(std::string_view utf8);

}  // namespace pelmora::gdal
