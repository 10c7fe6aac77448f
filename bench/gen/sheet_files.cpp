#include "sheet_files.hpp"

namespace pelmora::gen {

void WriteSheetHeader(TextBuffer& out, const SheetInfo& sheet, std::string_view kind,
                      std::string_view theme) {
  out.Text("DM25").Field(sheet.sheet_number).Field(kind).Field(theme);
  out.Comma().Text(sheet.zone < 10 ? "0" : "").Int(sheet.zone);
  out.Field("2500").Field(sheet.newer_edition ? "200503" : "200203");
  if (sheet.newer_edition) out.Field("JGD2000");
  out.Comma().Metres(sheet.origin_n).Comma().Metres(sheet.origin_e);
  out.Comma().Metres(sheet.origin_n + sheet.extent_n);
  out.Comma().Metres(sheet.origin_e + sheet.extent_e).EndLine();
}

ArcFile::ArcFile(const SheetInfo& sheet, std::string_view theme) : out_(sheet.Decimals()) {
  WriteSheetHeader(out_, sheet, "ARC", theme);
}

int64_t ArcFile::Add(std::string_view code, std::string_view tag, const Polyline& line) {
  int64_t id = next_id_++;
  out_.Text(code).Field(tag).Field(id).Field(static_cast<int64_t>(line.size())).EndLine();
  for (const Pt& p : line) out_.Coordinate(p.n, p.e);
  return id;
}

PgnFile::PgnFile(const SheetInfo& sheet, std::string_view theme) : out_(sheet.Decimals()) {
  WriteSheetHeader(out_, sheet, "PGN", theme);
}

int64_t PgnFile::Add(std::string_view code, Pt representative, const std::vector<int64_t>& refs) {
  int64_t id = next_id_++;
  out_.Text(code).Field(id).Field(static_cast<int64_t>(refs.size()));
  out_.Comma().Metres(representative.n).Comma().Metres(representative.e).EndLine();
  for (int64_t ref : refs) out_.Int(ref).EndLine();
  return id;
}

PntFile::PntFile(const SheetInfo& sheet, std::string_view theme) : out_(sheet.Decimals()) {
  WriteSheetHeader(out_, sheet, "PNT", theme);
}

int64_t PntFile::Add(std::string_view code, Pt point) {
  int64_t id = next_id_++;
  out_.Text(code).Field(id).Comma().Metres(point.n).Comma().Metres(point.e).EndLine();
  return id;
}

void AtrFile::Add(std::string_view code, int64_t id, std::vector<std::string> values) {
  records_.push_back({std::string(code), id, std::move(values)});
}

TextBuffer AtrFile::Render(const AttributeGaps& gaps) const {
  std::vector<bool> keep(records_.size(), true);
  if (gaps.faults) {
    Rng rng(gaps.seed);
    for (size_t i = 0; i < records_.size(); ++i) keep[i] = rng.Next() % 200 != 0;
  }
  size_t kept = 0;
  for (bool k : keep) kept += k;
  TextBuffer out(sheet_->Decimals());
  // Field 2 of the header is the sheet number, which never equals an
  // individual number, so the header line never answers a lookup.
  out.Text("FH").Field(sheet_->sheet_number).Field(theme_);
  out.Field(static_cast<int64_t>(kept)).EndLine();
  for (size_t i = 0; i < records_.size(); ++i) {
    if (!keep[i]) continue;
    const Record& r = records_[i];
    out.Text(r.code).Field(r.id).Field(static_cast<int64_t>(r.values.size()));
    for (const std::string& value : r.values) out.Field(value);
    out.EndLine();
  }
  return out;
}

}  // namespace pelmora::gen
