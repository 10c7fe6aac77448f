#pragma once
// The text of MIF files: the header and the Point, PLine and Region objects.
// Every line ends with CR LF; texts are code page 932 bytes.
#include <string>
#include <string_view>
#include <vector>

#include "../io/output_file.hpp"
#include "geometry.hpp"

namespace pelmora {

// Writes the header: version, charset, delimiter, "CoordSys " + clause, the
// columns (each "<name> Char(100)"; names given in UTF-8) and "Data".
void WriteMifHeader(OutputFile& mif, std::string_view coordsys_clause,
                    const std::vector<std::string>& column_names_utf8);

void WritePoint(OutputFile& mif, const TSFPoint& point);
void WritePLine(OutputFile& mif, const TSFPolyLine& line);
// Orients and closes a single-part polygon in place before writing it.
void WriteRegion(OutputFile& mif, TSFPolygon& polygon);

}  // namespace pelmora
