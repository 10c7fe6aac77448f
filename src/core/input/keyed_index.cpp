#include "keyed_index.hpp"

#include <algorithm>
#include <charconv>

namespace pelmora {

void KeyedIndex::Build(const LineTable& lines, int field) {
  Clear();
  // Keys that are plain numbers, nearly all of them, go to by_number_: the
  // hash table starts small and grows only for the others.
  slots_.assign(64, Slot{});
  // Numbers beyond the count of lines are rare: those go to the hash table,
  // so that a stray large number cannot make the table large.
  number_limit_ = lines.size() + 1024;
  FieldSplitter fields;
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string_view line = lines[i];
    if (SurelyFewerFieldsPadded(line, field)) {
      if (!empty_key_line_) empty_key_line_ = static_cast<uint32_t>(i);
      continue;
    }
    fields.SplitPadded(line);
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
    if (auto number = PlainNumber(key); number && *number < number_limit_) {
      InsertNumber(*number, static_cast<uint32_t>(i));
    } else {
      Insert(key, static_cast<uint32_t>(i));
    }
  }
}

std::optional<uint64_t> KeyedIndex::PlainNumber(std::string_view key) {
  if (key.empty() || key.size() > 10 || (key[0] == '0' && key.size() > 1)) return std::nullopt;
  uint64_t number = 0;
  for (char c : key) {
    if (c < '0' || c > '9') return std::nullopt;
    number = number * 10 + static_cast<uint64_t>(c - '0');
  }
  return number;
}

void KeyedIndex::InsertNumber(uint64_t number, uint32_t line) {
  if (number >= by_number_.size()) {
    by_number_.resize(std::max<size_t>(number + 1, 2 * by_number_.size()), kNoLine);
  }
  if (by_number_[number] == kNoLine) by_number_[number] = line;  // the first line keeps it
}

uint64_t KeyedIndex::Hash(std::string_view key) {
  // FNV-1a: keys are short numbers, for which it spreads well and costs little.
  uint64_t hash = 0xcbf29ce484222325ULL;
  for (char c : key) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3ULL;
  return hash ^ (hash >> 29);
}

void KeyedIndex::Insert(std::string_view key, uint32_t line) {
  if (2 * (used_ + 1) > slots_.size()) Grow();
  const uint64_t hash = Hash(key);
  const size_t mask = slots_.size() - 1;
  for (size_t i = hash & mask;; i = (i + 1) & mask) {
    Slot& slot = slots_[i];
    if (slot.data == nullptr) {
      slot = {hash, key.data(), static_cast<uint32_t>(key.size()), line};
      ++used_;
      return;
    }
    if (slot.hash == hash && slot.Key() == key) return;  // the first line keeps the key
  }
}

void KeyedIndex::Grow() {
  LargeVector<Slot> old = std::move(slots_);
  slots_.assign(std::max<size_t>(64, 2 * old.size()), Slot{});
  const size_t mask = slots_.size() - 1;
  for (const Slot& slot : old) {
    if (slot.data == nullptr) continue;
    size_t i = slot.hash & mask;
    while (slots_[i].data != nullptr) i = (i + 1) & mask;
    slots_[i] = slot;
  }
}

void KeyedIndex::Clear() {
  slots_.clear();
  by_number_.clear();
  number_limit_ = 0;
  used_ = 0;
  owned_keys_.clear();
  empty_key_line_.reset();
}

std::optional<uint32_t> KeyedIndex::FindNumber(uint64_t number) const {
  if (number < number_limit_) {
    if (number < by_number_.size() && by_number_[number] != kNoLine) return by_number_[number];
    return std::nullopt;
  }
  char text[24];
  auto end = std::to_chars(text, text + sizeof text, number).ptr;
  return Find(std::string_view(text, static_cast<size_t>(end - text)));
}

std::optional<uint32_t> KeyedIndex::Find(std::string_view key) const {
  if (key.empty()) return empty_key_line_;
  if (auto number = PlainNumber(key); number && *number < number_limit_) {
    return FindNumber(*number);
  }
  if (slots_.empty()) return std::nullopt;
  const uint64_t hash = Hash(key);
  const size_t mask = slots_.size() - 1;
  for (size_t i = hash & mask; slots_[i].data != nullptr; i = (i + 1) & mask) {
    if (slots_[i].hash == hash && slots_[i].Key() == key) return slots_[i].line;
  }
  return std::nullopt;
}

}  // namespace pelmora
