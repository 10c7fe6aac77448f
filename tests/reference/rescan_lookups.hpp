#pragma once
// The arc and attribute lookups done the plain way: every call reads its file
// anew and walks it from the first line until a line's key field equals the
// key. Kept as the reference that the converter's indexed lookups
// (input/companion_file.hpp) must match in every answer and every error, and
// as the baseline of the lookup benchmark.
#include <string>
#include <string_view>
#include <vector>

namespace pelmora::reference {

// The value_count quoted values of the first line of the attribute file whose
// field 2 equals key (empty values when none does), joined by ",". Empty
// for no values; the file is read all the same.
std::string LookupAttributes(const std::string& path, std::string_view key, int value_count);

// Appends the coordinate lines of the first arc record whose field 3 is the
// decimal text of |reference|, reversed for a negative reference.
void AppendArcPoints(const std::string& path, std::string_view reference,
                     std::vector<std::string>& out);

}  // namespace pelmora::reference
