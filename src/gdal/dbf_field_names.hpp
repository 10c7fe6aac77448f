#pragma once
// Column names of a Shapefile's DBF table, which holds at most 10 bytes per
// name. The names are code page 932; a column whose name is longer gets a
// fixed short name from a table (listed in the README), so that a file's
// columns never depend on how a library happens to truncate.
#include <string>
#include <string_view>

namespace pelmora::gdal {

// The DBF name (code page 932 bytes) of a column named utf8_name. Throws
// ConversionError for a long name the table lacks.
std::string DbfFieldName(std::string_view utf8_name);

inline constexpr size_t kDbfNameBytes = 10;

}  // namespace pelmora::gdal
