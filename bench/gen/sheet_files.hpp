#pragma once
// The record formats of the map-data files: the sheet header of .arc, .pgn
// and .pnt files, arc, polygon and point records, and attribute lines. Each
// builder numbers its objects from 1 in the order they are added.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "geometry.hpp"
#include "rng.hpp"
#include "text_buffer.hpp"

namespace pelmora::gen {

struct SheetInfo {
  std::string area_code;               // the area subfolder's name, such as 13101
  std::string sheet_number;            // field 2 of every sheet header
  int64_t origin_n = 0, origin_e = 0;  // millimetres in the plane rectangular zone
  int64_t extent_n = 0, extent_e = 0;  // size of the sheet in millimetres
  int zone = 9;                        // plane rectangular coordinate system number
  // The older edition's header has ten commas; the newer one inserts the
  // geodetic datum before the origin and has eleven.
  bool newer_edition = false;
  bool upper_case_names = false;  // theme folders and files named in capitals
  int Decimals() const { return newer_edition ? 3 : 2; }
};

// Line 0 of an .arc, .pgn or .pnt file.
void WriteSheetHeader(TextBuffer& out, const SheetInfo& sheet, std::string_view kind,
                      std::string_view theme);

class ArcFile {
 public:
  ArcFile(const SheetInfo& sheet, std::string_view theme);
  // Adds an arc record and its coordinate lines; returns its individual number.
  int64_t Add(std::string_view code, std::string_view tag, const Polyline& line);
  const TextBuffer& text() const { return out_; }

 private:
  TextBuffer out_;
  int64_t next_id_ = 1;
};

class PgnFile {
 public:
  PgnFile(const SheetInfo& sheet, std::string_view theme);
  // Adds a polygon record: representative point and signed arc references.
  int64_t Add(std::string_view code, Pt representative, const std::vector<int64_t>& refs);
  const TextBuffer& text() const { return out_; }

 private:
  TextBuffer out_;
  int64_t next_id_ = 1;
};

class PntFile {
 public:
  PntFile(const SheetInfo& sheet, std::string_view theme);
  int64_t Add(std::string_view code, Pt point);
  const TextBuffer& text() const { return out_; }

 private:
  TextBuffer out_;
  int64_t next_id_ = 1;
};

// Which attribute lines the data set leaves out, so that the converter meets
// objects without attributes: sets asked for faults leave out about one line
// in 200, others (the sample among them) none.
struct AttributeGaps {
  bool faults = false;
  uint64_t seed = 0;
};

class AtrFile {
 public:
  AtrFile(const SheetInfo& sheet, std::string_view theme) : sheet_(&sheet), theme_(theme) {}
  void Add(std::string_view code, int64_t id, std::vector<std::string> values);
  // The file's text: the "FH" header line, then one line per kept record.
  TextBuffer Render(const AttributeGaps& gaps) const;

 private:
  struct Record {
    std::string code;
    int64_t id;
    std::vector<std::string> values;
  };
  const SheetInfo* sheet_;
  std::string theme_;
  std::vector<Record> records_;
};

}  // namespace pelmora::gen
