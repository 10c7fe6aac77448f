#pragma once
// The text of MIF files: the header and the Point, PLine and Region objects.
// Every line ends with CR LF; texts are code page 932 bytes.
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "../features/geometry.hpp"
#include "../io/output_file.hpp"

namespace pelmora {

// Writes the header: version, charset, delimiter, "CoordSys " + clause, the
// columns (each "<name> Char(100)"; names given in UTF-8) and "Data".
void WriteMifHeader(OutputFile& mif, std::string_view coordsys_clause,
                    const std::vector<std::string_view>& column_names_utf8);

// The object of a feature without geometry: the line "none" and the empty
// line that ends every object.
void WriteNone(OutputFile& mif);
void WritePoint(OutputFile& mif, const TSFPoint& point);
void WritePLine(OutputFile& mif, const TSFShape& line);
// One MID row: the values, each in double quotes with inner quotes doubled,
// joined by "," and ended by CR LF. row is room for rows too long to be
// formatted in the file's buffer.
void WriteMidRow(OutputFile& mid, std::span<const std::string_view> values, std::string& row);

// A single-part polygon is written clockwise and closed (ClockwiseClosedOrder)
// without changing the polygon; the parts of a multi-part one as they are.
void WriteRegion(OutputFile& mif, const TSFShape& polygon);

}  // namespace pelmora
