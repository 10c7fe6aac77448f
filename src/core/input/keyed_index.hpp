#pragma once
// First line of a file whose field n holds a given text: the lookups of arcs
// by individual number and of attribute lines by object, built once per file
// instead of scanning the file for every record. It answers exactly what a
// scan from the top would: the first line in file order whose field equals
// the key byte for byte.
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "../io/large_memory.hpp"
#include "../text/fields.hpp"
#include "../text/lines.hpp"

namespace pelmora {

class KeyedIndex {
 public:
  // Indexes field `field` (1-based) of every line. The views must outlive the
  // index, and each must be followed by kPaddingAfterLine readable bytes, as
  // the lines of an InputFile are.
  void Build(const LineTable& lines, int field);
  void Clear();
  std::optional<uint32_t> Find(std::string_view key) const;
  // Find of the decimal text of number, without writing the text.
  std::optional<uint32_t> FindNumber(uint64_t number) const;

 private:
  static constexpr uint32_t kNoLine = UINT32_MAX;
  // Keys are mostly individual numbers 1, 2, 3 ...: those written the one
  // way a number is written (no sign, no leading zero) and below
  // number_limit_ go to a table indexed by the number, which costs no hash
  // and no comparison of texts; every other key goes to the hash table.
  static std::optional<uint64_t> PlainNumber(std::string_view key);
  void InsertNumber(uint64_t number, uint32_t line);

  // An open-addressing table (linear probing, at most half full): one
  // contiguous array, no allocation per key, one hash per lookup.
  struct Slot {
    uint64_t hash = 0;
    const char* data = nullptr;  // null: free
    uint32_t size = 0;
    uint32_t line = 0;
    std::string_view Key() const { return {data, size}; }
  };
  static uint64_t Hash(std::string_view key);
  void Insert(std::string_view key, uint32_t line);
  void Grow();

  LargeVector<Slot> slots_;  // size a power of two, or empty
  size_t used_ = 0;
  LargeVector<uint32_t> by_number_;  // kNoLine: no line has that number
  uint64_t number_limit_ = 0;
  std::deque<std::string> owned_keys_;  // keys unquoted into the splitter's buffer
  std::optional<uint32_t> empty_key_line_;
};

}  // namespace pelmora
