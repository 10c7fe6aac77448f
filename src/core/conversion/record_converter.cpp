// What the line, polygon and point layers share: the sheet header, the
// selection of records by type code and the leading values of a MID row.
#include "../input/area_folder.hpp"
#include "kind_converters.hpp"

namespace pelmora {

void RecordConverter::ReadHeader(std::string_view line) {
  SheetHeader header = ReadSheetHeader(line, record_);
  quoted_sheet_number_.clear();
  AppendQuoted(quoted_sheet_number_, header.sheet_number);
  origin_ = header.origin;
}

bool RecordConverter::IsRecordOfLayer(std::string_view line) {
  // Most lines are coordinate or reference lines: a look at the start of
  // the line rules them out without cutting it into fields.
  if (!FirstFieldMayEqual(line, layer_.type_code)) return false;
  record_.SplitPadded(line);  // a line of the loaded input file
  return record_[1] == layer_.type_code;
}

void RecordConverter::ResetCompanion(CompanionFile& companion, const AreaInput& input,
                                     std::string_view relative, int key_field) {
  companion.Reset(ResolveFileOrJoin(input.area_path, relative),
                  input.area + "/" + std::string(relative), key_field, input.shared, relative);
}

void RecordConverter::StartRow(std::string_view value) {
  row_.assign(quoted_sheet_number_);
  AddValue(value);
}

void RecordConverter::AddValue(std::string_view value) {
  row_.push_back(',');
  AppendQuoted(row_, value);
}

}  // namespace pelmora
