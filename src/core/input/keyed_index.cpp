#include "keyed_index.hpp"

namespace pelmora {

void KeyedIndex::Build(const std::vector<std::string_view>& lines, int field) {
  Clear();
  FieldSplitter fields;
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string_view line = lines[i];
    fields.Split(line);
    std::string_view key = fields[field];
    // Most lines of an arc file are coordinate lines without the key field:
    // the first empty key is kept like any other, the rest cost no lookup.
    if (key.empty()) {
      if (!empty_key_line_) empty_key_line_ = static_cast<uint32_t>(i);
      continue;
    }
    // A key that doubled quotes were taken out of lives in the splitter's
    // buffer, which the next line overwrites: keep a copy.
    if (key.data() < line.data() || key.data() + key.size() > line.data() + line.size()) {
      key = owned_keys_.emplace_back(key);
    }
    first_line_.try_emplace(key, static_cast<uint32_t>(i));
  }
}

void KeyedIndex::Clear() {
  first_line_.clear();
  owned_keys_.clear();
  empty_key_line_.reset();
}

std::optional<uint32_t> KeyedIndex::Find(std::string_view key) const {
  if (key.empty()) return empty_key_line_;
  auto it = first_line_.find(key);
  if (it == first_line_.end()) return std::nullopt;
  return it->second;
}

}  // namespace pelmora
