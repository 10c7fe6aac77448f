// What the line, polygon and point layers share: the sheet header, the
// selection of records by type code and the leading values of a feature.
#include "../input/area_folder.hpp"
#include "kind_converters.hpp"

namespace pelmora {

void RecordConverter::ReadHeader(std::string_view line) {
  SheetHeader header = ReadSheetHeader(line, record_);
  sheet_number_.assign(header.sheet_number);
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

void RecordConverter::StartValues(std::string_view value) {
  feature_.values.clear();
  feature_.values.push_back(sheet_number_);
  feature_.values.push_back(value);
}

void RecordConverter::JoinAttributes(CompanionFile& attributes, std::string_view key,
                                     size_t record_line) {
  if (LookupAttributes(attributes, key, layer_.attribute_values, feature_.values)) return;
  Warn(WarningKind::kMissingAttributes,
       "個別番号 " + std::string(key) + " の属性が " + attributes.display() + " にありません",
       record_line);
}

}  // namespace pelmora
