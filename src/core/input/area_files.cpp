#include "area_files.hpp"

#include <stdexcept>

namespace pelmora {

AreaFiles::AreaFiles(std::vector<std::string> shared) {
  for (std::string& relative : shared) {
    auto entry = std::make_unique<Entry>();
    entry->relative = std::move(relative);
    entries_.push_back(std::move(entry));
  }
}

bool AreaFiles::Shares(std::string_view relative) const {
  for (const auto& entry : entries_) {
    if (entry->relative == relative) return true;
  }
  return false;
}

AreaFiles::Entry& AreaFiles::Find(std::string_view relative) {
  for (const auto& entry : entries_) {
    if (entry->relative == relative) return *entry;
  }
  throw std::logic_error("not a shared file: " + std::string(relative));
}

AreaFiles::Entry& AreaFiles::Loaded(std::string_view relative, const std::string& path) {
  Entry& entry = Find(relative);
  if (!entry.loaded) {
    entry.file.Load(path);
    entry.loaded = true;
  }
  return entry;
}

const InputFile& AreaFiles::Load(std::string_view relative, const std::string& path) {
  return Loaded(relative, path).file;
}

const KeyedIndex& AreaFiles::Index(std::string_view relative, const std::string& path,
                                   int key_field) {
  Entry& entry = Loaded(relative, path);
  for (const auto& [field, index] : entry.indexes) {
    if (field == key_field) return *index;
  }
  auto index = std::make_unique<KeyedIndex>();
  index->Build(entry.file.lines(), key_field);
  entry.indexes.emplace_back(key_field, std::move(index));
  return *entry.indexes.back().second;
}

void AreaFiles::NextArea() {
  for (const auto& entry : entries_) {
    entry->indexes.clear();
    entry->numbers.Clear();
    entry->file.Release();
    entry->loaded = false;
  }
}

}  // namespace pelmora
