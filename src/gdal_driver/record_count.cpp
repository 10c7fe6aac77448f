#include "record_count.hpp"

#include "core/errors.hpp"
#include "core/input/input_file.hpp"
#include "core/input/sheet_header.hpp"
#include "core/text/fields.hpp"
#include "core/text/numbers.hpp"

namespace pelmora::gdal_driver {
namespace {

// The line after the record at line k and the lines it announces (field
// `count_field`), or nothing when the count is no number or runs past the
// file. A negative count announces no line; for arcs it is an error.
std::optional<size_t> AfterRecord(const FieldSplitter& record, int count_field, size_t k,
                                  size_t lines, bool negative_allowed) {
  const std::optional<int32_t> count = TryStrToInt(record[count_field]);
  if (!count || (*count < 0 && !negative_allowed)) return std::nullopt;
  const size_t announced = *count > 0 ? static_cast<size_t>(*count) : 0;
  if (announced > 0 && k + announced >= lines) return std::nullopt;
  return k + announced + 1;
}

std::optional<uint64_t> CountRecords(const LayerDef& layer, const InputFile& file) {
  const LineTable& lines = file.lines();
  FieldSplitter record;
  try {
    ReadSheetHeader(lines[0], record);
  } catch (const ConversionError&) {
    return std::nullopt;
  }
  uint64_t count = 0;
  for (size_t k = 1; k < lines.size();) {
    if (!FirstFieldMayEqual(lines[k], layer.type_code)) {
      ++k;
      continue;
    }
    record.SplitPadded(lines[k]);
    if (record[1] != layer.type_code) {
      ++k;
      continue;
    }
    ++count;
    std::optional<size_t> next = k + 1;  // a point record is one line
    if (layer.kind == LayerKind::kLine) next = AfterRecord(record, 4, k, lines.size(), false);
    if (layer.kind == LayerKind::kPolygon) next = AfterRecord(record, 3, k, lines.size(), true);
    if (!next) return std::nullopt;
    k = *next;
  }
  return count;
}

}  // namespace

std::optional<uint64_t> CountFeatures(const LayerDef& layer, const AreaDescription& area) {
  const bool frame = layer.kind == LayerKind::kFrame;
  const DescribedFile* found = area.Find(frame ? area.SheetFile() : std::string(layer.input_path));
  if (found == nullptr) return 0;
  InputFile file;
  try {
    file.Load(found->path);
  } catch (const ConversionError&) {
    return std::nullopt;
  }
  if (file.LineCount() == 0) return 0;
  // The frame converter takes a map-sheet file of ten lines or more.
  if (frame) return file.LineCount() >= 10 ? 1 : 0;
  return CountRecords(layer, file);
}

}  // namespace pelmora::gdal_driver
