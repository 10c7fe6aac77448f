#include "observer.hpp"

namespace pelmora {

namespace {

struct KindNames {
  WarningKind kind;
  std::string_view key, name;
};

constexpr KindNames kKindNames[] = {
    {WarningKind::kMissingArc, "missing_arc", "アークファイルにないアーク"},
    {WarningKind::kMissingAttributes, "missing_attributes", "属性の行がないレコード"},
    {WarningKind::kMissingInputFile, "missing_input_file", "入力ファイルがない地域"},
    {WarningKind::kValueTooLong, "value_too_long", "列の幅を超える値"},
    {WarningKind::kAreaTwice, "area_twice", "2度変換した地域"},
    {WarningKind::kZoneMismatch, "zone_mismatch", "座標系の系が異なる図郭ファイル"},
    {WarningKind::kRingNotClosed, "ring_not_closed", "閉じていないリング"},
    {WarningKind::kEmptyObject, "empty_object", "空の図形 (none) にした線やポリゴン"},
    {WarningKind::kOutputFormat, "output_format", "出力形式がそのまま受け付けない値"},
    {WarningKind::kApproximate, "approximate_transformation",
     "グリッドファイルなしで近似した測地系の変換"},
    {WarningKind::kLeftoverFile, "leftover_file", "片付けられなかった中断した変換のファイル"},
};

const KindNames& NamesOf(WarningKind kind) {
  for (const KindNames& names : kKindNames) {
    if (names.kind == kind) return names;
  }
  return kKindNames[0];  // not reached: every kind has its row
}

}  // namespace

std::string_view WarningKindKey(WarningKind kind) {
  return NamesOf(kind).key;
}

std::string_view WarningKindName(WarningKind kind) {
  return NamesOf(kind).name;
}

std::string LogLine(const LayerStarted& event) {
  return std::string(event.log_text);
}

std::string LogLine(const InputFileStarted& event) {
  std::string line(event.path);
  line.append(" --> ");
  if (event.target.empty()) {
    line.append(event.base_name).append(".mif");
  } else {
    line.append(event.target);
  }
  return line;
}

std::string LogLine(const Warning& event) {
  std::string line = "警告: ";
  line.append(event.text);
  if (!event.file.empty()) {
    line.append(" (").append(event.file);
    if (event.line > 0) line.append(" ").append(std::to_string(event.line)).append("行目");
    line.append(")");
  }
  return line;
}

}  // namespace pelmora
