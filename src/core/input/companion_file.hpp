#pragma once
// The arc and attribute files that a layer consults per record. Each is read
// and indexed the first time a record of an area needs it, so a missing file
// fails at that record and a file no record needs is never opened.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "../text/fields.hpp"
#include "area_files.hpp"
#include "coord_line_numbers.hpp"
#include "input_file.hpp"
#include "keyed_index.hpp"

namespace pelmora {

class CompanionFile {
 public:
  // path: the file to open; display: how messages name it (area/relative).
  // When shared holds the file (relative to the area, as the table names
  // it), the file and its index are taken from there.
  void Reset(std::string path, std::string display, int key_field, AreaFiles* shared = nullptr,
             std::string_view relative = {});
  void Release();
  // Reads and indexes the file unless done; throws FileOpenError.
  void EnsureLoaded();

  const InputFile& file() const { return *file_; }
  const KeyedIndex& index() const { return *index_; }
  const std::string& display() const { return display_; }
  // The numbers of the file's coordinate lines: shared with the other layers
  // of the area when the file is.
  CoordLineNumbers& numbers() { return *numbers_; }
  // The fields of the line last looked up; the values a lookup gives may
  // point into it until the next lookup in this file. Owned per file rather
  // than per thread: a thread-local object with a destructor crashes a
  // worker's exit on Windows.
  FieldSplitter& fields() { return fields_; }

 private:
  std::string path_, display_, relative_;
  int key_field_ = 0;
  AreaFiles* shared_ = nullptr;
  // The loaded file and index: own_file_ and own_index_, or the shared ones.
  const InputFile* file_ = nullptr;
  const KeyedIndex* index_ = nullptr;
  CoordLineNumbers* numbers_ = nullptr;
  InputFile own_file_;
  KeyedIndex own_index_;
  CoordLineNumbers own_numbers_;
  FieldSplitter fields_;
};

// A coordinate line gathered for a polygon, with where it came from.
struct CoordLine {
  std::string_view text;
  uint32_t line;  // 0-based line in the arc file
};

// The error of a count that reaches past the end of its file; index is the
// 0-based number of the first missing line.
[[noreturn]] void ThrowListIndexError(size_t index);

// The most vertices one polygon may gather. Each reference line can name the
// longest arc of the file again, so without a bound the memory of a ring
// would grow with the product of the two files' sizes.
inline constexpr size_t kMaxRingPoints = size_t{1} << 23;  // 8,388,608

// Appends the coordinate lines of the arc that reference names (a signed
// individual number; negative: last line first). The reference is converted
// before the arc file is opened. An arc that is not in the file adds nothing.
// Throws DataError when out would pass kMaxRingPoints. Returns false when the
// arc is not in the file.
bool AppendArcPoints(CompanionFile& arcs, std::string_view reference, std::vector<CoordLine>& out);

// Appends value_count values to values: fields 4 onwards of the first
// attribute line whose field 2 equals key, or empty values when no line
// carries it. The views live until the next lookup on the same thread.
// Returns false when no line carries key (and values were asked for).
bool LookupAttributes(CompanionFile& attributes, std::string_view key, int value_count,
                      std::vector<std::string_view>& values);

}  // namespace pelmora
