#pragma once
// Cutting the bytes of an input file into lines.
#include <string_view>

#include "../io/large_memory.hpp"

namespace pelmora {

// The lines of an input file as views into its bytes.
using LineTable = ViewTable;

// Cuts text into lines at CR LF, a lone CR or a lone LF. A final line without
// a line break counts; a break at the very end gives no empty last line. A NUL
// byte ends the text. Empty lines in the middle are kept, so line numbers
// match the file. The views point into text; lines is cleared first.
void SplitLines(std::string_view text, LineTable& lines);

// The number of lines SplitLines cuts text into, without storing them: lets a
// reader refuse a file of too many lines before it spends memory on them.
size_t CountLines(std::string_view text);

}  // namespace pelmora
