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
#include <unordered_map>
#include <vector>

#include "../text/fields.hpp"

namespace pelmora {

class KeyedIndex {
 public:
  // Indexes field `field` (1-based) of every line. The views must outlive the
  // index.
  void Build(const std::vector<std::string_view>& lines, int field);
  void Clear();
  std::optional<uint32_t> Find(std::string_view key) const;

 private:
  std::unordered_map<std::string_view, uint32_t> first_line_;
  std::deque<std::string> owned_keys_;  // keys unquoted into the splitter's buffer
  std::optional<uint32_t> empty_key_line_;
};

}  // namespace pelmora
