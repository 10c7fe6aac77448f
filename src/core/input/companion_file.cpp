#include "companion_file.hpp"

#include <cstdlib>

#include "../errors.hpp"
#include "../text/fields.hpp"
#include "../text/numbers.hpp"

namespace pelmora {

void CompanionFile::Reset(std::string path, std::string display, int key_field, AreaFiles* shared,
                          std::string_view relative) {
  Release();
  path_ = std::move(path);
  display_ = std::move(display);
  key_field_ = key_field;
  shared_ = shared != nullptr && shared->Shares(relative) ? shared : nullptr;
  relative_ = relative;
}

void CompanionFile::Release() {
  file_ = nullptr;
  index_ = nullptr;
  numbers_ = nullptr;
  own_index_.Clear();
  own_numbers_.Clear();
  own_file_.Release();
}

void CompanionFile::EnsureLoaded() {
  if (file_ != nullptr) return;
  try {
    if (shared_ != nullptr) {
      const KeyedIndex& index = shared_->Index(relative_, path_, key_field_);
      file_ = &shared_->Load(relative_, path_);
      index_ = &index;
      numbers_ = &shared_->Numbers(relative_);
      return;
    }
    own_file_.Load(path_);
  } catch (ConversionError& e) {
    e.SetPlace(display_, 0);
    throw;
  }
  own_index_.Build(own_file_.lines(), key_field_);
  file_ = &own_file_;
  index_ = &own_index_;
  numbers_ = &own_numbers_;
}

[[noreturn]] void ThrowListIndexError(size_t index) {
  throw DataError("リストのインデックスが範囲を超えています (" + std::to_string(index) + ")");
}

bool AppendArcPoints(CompanionFile& arcs, std::string_view reference, std::vector<CoordLine>& out) {
  const int64_t number = StrToInt(reference);
  arcs.EnsureLoaded();
  auto found = arcs.index().FindNumber(static_cast<uint64_t>(std::llabs(number)));
  if (!found) return false;

  const InputFile& file = arcs.file();
  const size_t record = *found;
  FieldSplitter& fields = arcs.fields();
  fields.SplitPadded(file.Line(record));
  int32_t count = 0;
  try {
    count = StrToInt(fields[4]);
    // The lines that exist are taken before the missing one is noticed, so
    // nothing but the line count decides the error.
    if (count > 0 && record + static_cast<size_t>(count) >= file.LineCount()) {
      ThrowListIndexError(file.LineCount());
    }
  } catch (ConversionError& e) {
    e.SetPlace(arcs.display(), static_cast<int>(record) + 1);
    throw;
  }
  if (count <= 0) return true;
  if (out.size() + static_cast<size_t>(count) > kMaxRingPoints) {
    throw DataError("ポリゴンの頂点数が上限 (" + std::to_string(kMaxRingPoints) +
                    ") を超えています");
  }
  const size_t first = record + 1, last = record + static_cast<size_t>(count);
  if (number >= 0) {
    for (size_t i = first; i <= last; ++i) out.push_back({file.Line(i), static_cast<uint32_t>(i)});
  } else {
    for (size_t i = last; i >= first; --i) out.push_back({file.Line(i), static_cast<uint32_t>(i)});
  }
  return true;
}

bool LookupAttributes(CompanionFile& attributes, std::string_view key, int value_count,
                      std::vector<std::string_view>& values) {
  attributes.EnsureLoaded();
  if (value_count <= 0) return true;
  FieldSplitter& fields = attributes.fields();
  auto found = attributes.index().Find(key);
  if (found) {
    fields.SplitPadded(attributes.file().Line(*found));
  } else {
    fields.Split(std::string_view());
  }
  // An empty splitter reads every field as empty.
  for (int k = 4; k < 4 + value_count; ++k) values.push_back(fields[k]);
  return found.has_value();
}

}  // namespace pelmora
