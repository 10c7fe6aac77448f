#include "mif_writer.hpp"

#include <charconv>
#include <cstring>

#include "../text/cp932.hpp"
#include "../text/fields.hpp"
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

// A single ring in the order ClockwiseClosedOrder gives.
void WriteOrientedRing(OutputFile& mif, const TSFShape& ring) {
  const RingOrder order = ClockwiseClosedOrder(ring);
  const auto n = static_cast<size_t>(ring.NumPoints);
  WriteCountLine(mif, "  ", static_cast<long long>(n + (order.closed_by_copy ? 1 : 0)));
  if (!order.reversed) {
    WriteAllPoints(mif, ring);
  } else {
    for (size_t i = n; i-- > 0;) WriteCoordLine(mif, ring.Points[i]);
  }
  if (order.closed_by_copy) WriteCoordLine(mif, ring.Points[order.reversed ? n - 1 : 0]);
}

}  // namespace

void WriteMifHeader(OutputFile& mif, std::string_view coordsys_clause,
                    const std::vector<std::string_view>& column_names_utf8) {
  mif.WriteLine("Version 300");
  mif.WriteLine("Charset \"WindowsJapanese\"");
  mif.WriteLine("Delimiter \",\"");
  mif.Write("CoordSys ");
  mif.WriteLine(coordsys_clause);
  WriteCountLine(mif, "Columns ", static_cast<long long>(column_names_utf8.size()));
  for (std::string_view name : column_names_utf8) {
    mif.Write(Utf8ToCp932(name));
    mif.WriteLine(" Char(100)");
  }
  mif.WriteLine("Data");
  mif.WriteLine("");
}

void WriteMidRow(OutputFile& mid, std::span<const std::string_view> values, std::string& row) {
  // Each value takes at most twice its length (every byte a quote) and three
  // more bytes; rows that surely fit are quoted straight into the buffer.
  constexpr size_t kInPlaceLimit = 4096;
  size_t bound = 2;
  for (std::string_view value : values) bound += 2 * value.size() + 3;
  if (bound > kInPlaceLimit) {
    row.clear();
    AppendQuotedValues(row, values);
    mid.WriteLine(row);
    return;
  }
  char* const start = mid.Reserve(bound);
  char* out = start;
  for (size_t i = 0; i < values.size(); ++i) {
    if (i > 0) *out++ = ',';
    *out++ = '"';
    std::string_view rest = values[i];
    // An empty value may have no data pointer, which memchr and memcpy must
    // not be given even with a length of 0.
    if (rest.empty()) rest = std::string_view("", 0);
    while (const void* quote = std::memchr(rest.data(), '"', rest.size())) {
      const size_t n = static_cast<const char*>(quote) - rest.data() + 1;
      std::memcpy(out, rest.data(), n);
      out += n;
      *out++ = '"';
      rest.remove_prefix(n);
    }
    std::memcpy(out, rest.data(), rest.size());
    out += rest.size();
    *out++ = '"';
  }
  *out++ = '\r';
  *out++ = '\n';
  mid.Commit(static_cast<size_t>(out - start));
}

void WriteNone(OutputFile& mif) {
  mif.WriteLine("none");
  mif.WriteLine("");
}

void WritePoint(OutputFile& mif, const TSFPoint& point) {
  mif.Write("Point ");
  WriteCoordLine(mif, point);
}

void WritePLine(OutputFile& mif, const TSFShape& line) {
  if (line.NumParts <= 1) {
    WriteCountLine(mif, "PLine ", line.NumPoints);
    WriteAllPoints(mif, line);
  } else {
    WriteCountLine(mif, "PLine MultiPle ", line.NumParts);
    WriteParts(mif, line);
  }
  mif.WriteLine("");
}

void WriteRegion(OutputFile& mif, const TSFShape& polygon) {
  if (polygon.NumParts <= 1) {
    mif.WriteLine("Region 1");
    WriteOrientedRing(mif, polygon);
  } else {
    WriteCountLine(mif, "Region ", polygon.NumParts);
    WriteParts(mif, polygon);
  }
  mif.WriteLine("");
}

}  // namespace pelmora
