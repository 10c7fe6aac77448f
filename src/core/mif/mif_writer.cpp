#include "mif_writer.hpp"

#include <charconv>

#include "../text/cp932.hpp"
#include "number_format.hpp"

namespace pelmora {
namespace {

void WriteCoordLine(OutputFile& mif, const TSFPoint& p) {
  char* out = mif.Reserve(2 * kMaxCoordText + 3);
  size_t n = FormatCoordPair(p.X, p.Y, out);
  out[n++] = '\r';
  out[n++] = '\n';
  mif.Commit(n);
}

// A keyword followed by a count, such as "PLine 5" or the count line "  5".
void WriteCountLine(OutputFile& mif, std::string_view keyword, long long count) {
  char digits[24];
  auto end = std::to_chars(digits, digits + sizeof digits, count).ptr;
  mif.Write(keyword);
  mif.WriteLine(std::string_view(digits, end - digits));
}

// Vertices of part k run from Parts[k] to Parts[k+1], the last to the end.
void WriteParts(OutputFile& mif, const TSFShape& shape) {
  const auto total = static_cast<long long>(shape.Points.size());
  for (size_t k = 0; k < shape.Parts.size(); ++k) {
    long long begin = shape.Parts[k];
    long long end = k + 1 < shape.Parts.size() ? shape.Parts[k + 1] : total;
    WriteCountLine(mif, "  ", end - begin);
    for (long long i = begin; i < end && i < total; ++i) {
      if (i >= 0) WriteCoordLine(mif, shape.Points[static_cast<size_t>(i)]);
    }
  }
}

void WriteAllPoints(OutputFile& mif, const TSFShape& shape) {
  for (const TSFPoint& p : shape.Points) WriteCoordLine(mif, p);
}

}  // namespace

void WriteMifHeader(OutputFile& mif, std::string_view coordsys_clause,
                    const std::vector<std::string>& column_names_utf8) {
  mif.WriteLine("Version 300");
  mif.WriteLine("Charset \"WindowsJapanese\"");
  mif.WriteLine("Delimiter \",\"");
  mif.Write("CoordSys ");
  mif.WriteLine(coordsys_clause);
  WriteCountLine(mif, "Columns ", static_cast<long long>(column_names_utf8.size()));
  for (const std::string& name : column_names_utf8) {
    mif.Write(Utf8ToCp932(name));
    mif.WriteLine(" Char(100)");
  }
  mif.WriteLine("Data");
  mif.WriteLine("");
}

void WritePoint(OutputFile& mif, const TSFPoint& point) {
  mif.Write("Point ");
  WriteCoordLine(mif, point);
}

void WritePLine(OutputFile& mif, const TSFPolyLine& line) {
  if (line.NumParts <= 1) {
    WriteCountLine(mif, "PLine ", line.NumPoints);
    WriteAllPoints(mif, line);
  } else {
    WriteCountLine(mif, "PLine MultiPle ", line.NumParts);
    WriteParts(mif, line);
  }
  mif.WriteLine("");
}

void WriteRegion(OutputFile& mif, TSFPolygon& polygon) {
  if (polygon.NumParts <= 1) {
    OrientRing(polygon);
    mif.WriteLine("Region 1");
    WriteCountLine(mif, "  ", polygon.NumPoints);
    WriteAllPoints(mif, polygon);
  } else {
    WriteCountLine(mif, "Region ", polygon.NumParts);
    WriteParts(mif, polygon);
  }
  mif.WriteLine("");
}

}  // namespace pelmora
