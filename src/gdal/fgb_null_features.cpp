#include "fgb_null_features.hpp"

#include <ogrsf_frmts.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "core/errors.hpp"

namespace pelmora::gdal {
namespace {

static_assert(std::endian::native == std::endian::little,
              "FlatGeobuf is little-endian, and so are these files");

constexpr size_t kMagicBytes = 8;
// The share of the file reported after each this many bytes.
constexpr uint64_t kStepBytes = 4 << 20;

template <typename T>
void Put(std::string& out, T value) {
  out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// A file read in order, failing with the output file's name.
class Reader {
 public:
  Reader(const std::string& path, const std::string& name) : name_(name) {
    file_.reset(std::fopen(path.c_str(), "rb"));
    if (!file_) ThrowIoError(errno, name_);
    if (std::fseek(file_.get(), 0, SEEK_END) != 0) ThrowIoError(errno, name_);
    size_ = static_cast<uint64_t>(std::ftell(file_.get()));
    std::rewind(file_.get());
  }
  uint64_t size() const { return size_; }
  // Reads size bytes; false at the end of the file before the first byte.
  bool Read(void* into, size_t size) {
    const size_t got = std::fread(into, 1, size, file_.get());
    if (got == size) return true;
    if (std::ferror(file_.get())) ThrowIoError(EIO, name_);
    if (got != 0) ThrowIoError(EIO, name_);  // cut short: not a file as written
    return false;
  }
  // Reads a size-prefixed block (the prefix included) into block.
  bool ReadBlock(std::string& block) {
    uint32_t size = 0;
    if (!Read(&size, sizeof size)) return false;
    block.resize(sizeof size + size);
    std::memcpy(block.data(), &size, sizeof size);
    if (!Read(block.data() + sizeof size, size)) ThrowIoError(EIO, name_);
    return true;
  }

 private:
  File file_;
  const std::string& name_;
  uint64_t size_ = 0;
};

// A kept feature: its position, then the size-prefixed feature.
struct Kept {
  uint64_t position = UINT64_MAX;  // none left
  std::string feature;
};

bool ReadKept(Reader& side, Kept& kept) {
  if (!side.Read(&kept.position, sizeof kept.position)) {
    kept.position = UINT64_MAX;
    return false;
  }
  side.ReadBlock(kept.feature);
  return true;
}

template <typename T>
bool Get(const std::string& bytes, size_t at, T& value) {
  if (at > bytes.size() || bytes.size() - at < sizeof value) return false;
  std::memcpy(&value, bytes.data() + at, sizeof value);
  return true;
}

// Adds added to the feature count of a size-prefixed header block, where
// GDAL wrote the count of the features it wrote. A header without a count
// (0, unknown: read to the end) stays as it is.
void AddToFeatureCount(std::string& header, int64_t added, const std::string& name) {
  constexpr size_t kPrefix = 4, kCountField = 8;  // features_count: the 9th field
  uint32_t root = 0;
  int32_t to_vtable = 0;
  uint16_t vtable_size = 0, field = 0;
  uint64_t count = 0;
  const size_t table = kPrefix + (Get(header, kPrefix, root) ? root : 0);
  if (!Get(header, table, to_vtable)) ThrowIoError(EIO, name);
  const size_t vtable = table - static_cast<size_t>(to_vtable);
  if (!Get(header, vtable, vtable_size)) ThrowIoError(EIO, name);
  const size_t entry = 4 + 2 * kCountField;
  if (vtable_size < entry + 2) return;
  if (!Get(header, vtable + entry, field) || field == 0) return;
  if (!Get(header, table + field, count)) ThrowIoError(EIO, name);
  count = static_cast<uint64_t>(static_cast<int64_t>(count) + added);
  std::memcpy(header.data() + table + field, &count, sizeof count);
}

}  // namespace

std::string EncodeFeatureWithoutGeometry(const OGRFeature& feature) {
  std::string properties;
  for (int i = 0; i < feature.GetFieldCount(); ++i) {
    if (!feature.IsFieldSetAndNotNull(i)) continue;
    const char* value = feature.GetFieldAsString(i);
    const auto length = static_cast<uint32_t>(std::strlen(value));
    Put(properties, static_cast<uint16_t>(i));
    Put(properties, length);
    properties.append(value, length);
  }
  // The table: the root offset, a vtable of two fields (the geometry absent,
  // the properties at 4 in the table), the table (its offset back to the
  // vtable, the offset on to the vector), then the vector.
  std::string table;
  Put<uint32_t>(table, 12);     // root: the table at 12
  Put<uint16_t>(table, 8);      // vtable: its size,
  Put<uint16_t>(table, 8);      // the table's size,
  Put<uint16_t>(table, 0);      // geometry: absent,
  Put<uint16_t>(table, 4);      // properties: at table + 4
  Put<int32_t>(table, 12 - 4);  // table: the vtable 8 bytes before
  Put<uint32_t>(table, 4);      // the vector 4 bytes after this
  Put(table, static_cast<uint32_t>(properties.size()));
  table += properties;
  table.resize((table.size() + 3) & ~size_t{3}, '\0');
  std::string out;
  Put(out, static_cast<uint32_t>(table.size()));
  return out + table;
}

FgbNullFeatures::FgbNullFeatures(std::string fgb_path, std::string display_name)
    : fgb_path_(std::move(fgb_path)),
      side_path_(fgb_path_ + ".nulls"),
      merge_path_(fgb_path_ + ".merge"),
      display_name_(std::move(display_name)) {}

FgbNullFeatures::~FgbNullFeatures() {
  if (side_) {
    side_.reset();  // closed before it is removed
    std::remove(side_path_.c_str());
  }
  std::remove(merge_path_.c_str());
}

void FgbNullFeatures::Add(uint64_t position, const OGRFeature& feature) {
  if (!side_) {
    side_.emplace();
    side_->SetDisplayName(display_name_);
    side_->Create(side_path_, true);
  }
  std::string record;
  Put(record, position);
  side_->Write(record);
  side_->Write(EncodeFeatureWithoutGeometry(feature));
  ++count_;
}

void FgbNullFeatures::Merge(bool drop_placeholder, const std::function<void(double)>& step) {
  Reader from(fgb_path_, display_name_);
  std::unique_ptr<Reader> side;
  Kept kept;
  if (side_) {
    side_->Close();
    side = std::make_unique<Reader>(side_path_, display_name_);
    ReadKept(*side, kept);
  }
  OutputFile to;
  to.SetDisplayName(display_name_);
  to.Create(merge_path_, true);
  std::string block(kMagicBytes, '\0');
  if (!from.Read(block.data(), kMagicBytes)) ThrowIoError(EIO, display_name_);
  to.Write(block);
  if (!from.ReadBlock(block)) ThrowIoError(EIO, display_name_);  // the header
  AddToFeatureCount(block, static_cast<int64_t>(count_) - (drop_placeholder ? 1 : 0),
                    display_name_);
  to.Write(block);
  uint64_t position = 0, bytes = kMagicBytes + block.size(), next_step = kStepBytes;
  while (true) {
    while (kept.position == position) {
      to.Write(kept.feature);
      ++position;
      ReadKept(*side, kept);
    }
    if (!from.ReadBlock(block)) break;
    bytes += block.size();
    if (bytes >= next_step) {
      next_step = bytes + kStepBytes;
      step(static_cast<double>(bytes) / static_cast<double>(std::max(from.size(), bytes)));
    }
    if (drop_placeholder) {
      drop_placeholder = false;
      continue;
    }
    to.Write(block);
    ++position;
  }
  while (kept.position != UINT64_MAX) {  // positions past GDAL's last feature
    to.Write(kept.feature);
    ReadKept(*side, kept);
  }
  to.Close();
  if (std::rename(merge_path_.c_str(), fgb_path_.c_str()) != 0) ThrowIoError(errno, display_name_);
}

}  // namespace pelmora::gdal
