#pragma once
// The arc and attribute files that a layer consults per record. Each is read
// and indexed the first time a record of an area needs it, so a missing file
// fails at that record and a file no record needs is never opened.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "input_file.hpp"
#include "keyed_index.hpp"

namespace pelmora {

class CompanionFile {
 public:
  // path: the file to open; display: how messages name it (area/relative).
  void Reset(std::string path, std::string display, int key_field);
  void Release();
  // Reads and indexes the file unless done; throws FileOpenError.
  void EnsureLoaded();

  const InputFile& file() const { return file_; }
  const KeyedIndex& index() const { return index_; }
  const std::string& display() const { return display_; }

 private:
  std::string path_, display_;
  int key_field_ = 0;
  bool loaded_ = false;
  InputFile file_;
  KeyedIndex index_;
};

// A coordinate line gathered for a polygon, with where it came from.
struct CoordLine {
  std::string_view text;
  uint32_t line;  // 0-based line in the arc file
};

// The error of a count that reaches past the end of its file; index is the
// 0-based number of the first missing line.
[[noreturn]] void ThrowListIndexError(size_t index);

// Appends the coordinate lines of the arc that reference names (a signed
// individual number; negative: last line first). The reference is converted
// before the arc file is opened. An arc that is not in the file adds nothing.
void AppendArcPoints(CompanionFile& arcs, std::string_view reference, std::vector<CoordLine>& out);

// Appends count - 2 quoted values to row, joined by ",": fields 4 onwards of
// the first attribute line whose field 2 equals key, or empty values when no
// line carries it. Nothing is appended for a count of 2 or less.
void LookupAttributes(CompanionFile& attributes, std::string_view key, int count, std::string& row);

}  // namespace pelmora
