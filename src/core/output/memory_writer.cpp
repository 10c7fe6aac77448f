#include "memory_writer.hpp"

#include <limits>
#include <stdexcept>
#include <utility>

namespace pelmora {
namespace {

// A count or length in 7-bit groups, low group first, the high bit of each
// byte telling that another follows.
void PutCount(GrowingArray<char>& out, uint64_t n) {
  while (n >= 0x80) {
    out.push_back(static_cast<char>((n & 0x7F) | 0x80));
    n >>= 7;
  }
  out.push_back(static_cast<char>(n));
}

uint64_t TakeCount(const char*& at) {
  uint64_t n = 0;
  for (int shift = 0;; shift += 7) {
    auto byte = static_cast<uint8_t>(*at++);
    n |= static_cast<uint64_t>(byte & 0x7F) << shift;
    if (!(byte & 0x80)) return n;
  }
}

}  // namespace

void StoredLayer::Add(const Feature& feature) {
  // The file first: a layer of too many files refuses the feature before
  // anything of it is appended.
  uint32_t file = FileIndex(feature.place.file);
  const TSFShape& shape = feature.geometry;
  points_.append(shape.Points.data(), shape.Points.size());
  parts_.append(shape.Parts.data(), shape.Parts.size());
  point_start_.push_back(points_.size());
  part_start_.push_back(parts_.size());
  value_start_.push_back(values_.size());
  PutCount(values_, feature.values.size());
  for (std::string_view value : feature.values) {
    PutCount(values_, value.size());
    values_.append(value.data(), value.size());
  }
  file_of_.push_back(file);
  lines_.push_back(feature.place.line);  // last: size() counts the feature now
}

// Features of one file come one after another: the last file is tried first.
uint32_t StoredLayer::FileIndex(std::string_view file) {
  if (!file_of_.empty() && files_[file_of_.back()] == file) return file_of_.back();
  for (size_t i = files_.size(); i-- > 0;)
    if (files_[i] == file) return static_cast<uint32_t>(i);
  if (files_.size() >= std::numeric_limits<uint32_t>::max())
    throw std::length_error("1つのレイヤーの入力ファイルが多すぎて、メモリーに保てません");
  files_.emplace_back(file);
  return static_cast<uint32_t>(files_.size() - 1);
}

ShapeView StoredLayer::Geometry(size_t f) const {
  return {std::span<const TSFPoint>(points_.data() + point_start_[f],
                                    point_start_[f + 1] - point_start_[f]),
          std::span<const int32_t>(parts_.data() + part_start_[f],
                                   part_start_[f + 1] - part_start_[f])};
}

size_t StoredLayer::ValueCount(size_t f) const {
  const char* at = values_.data() + value_start_[f];
  return TakeCount(at);
}

std::string_view StoredLayer::Value(size_t f, size_t column) const {
  const char* at = values_.data() + value_start_[f];
  uint64_t count = TakeCount(at);
  if (column >= count) return {};
  for (size_t c = 0; c < column; ++c) {
    uint64_t skipped = TakeCount(at);
    at += skipped;
  }
  uint64_t length = TakeCount(at);
  return {at, length};
}

void StoredLayer::Get(size_t f, Feature& feature) const {
  ShapeView shape = Geometry(f);
  feature.geometry.Points.assign(shape.points.begin(), shape.points.end());
  feature.geometry.Parts.assign(shape.parts.begin(), shape.parts.end());
  feature.geometry.NumPoints = static_cast<int32_t>(shape.points.size());
  feature.geometry.NumParts = static_cast<int32_t>(shape.parts.size());
  const char* at = values_.data() + value_start_[f];
  feature.values.resize(TakeCount(at));
  for (std::string_view& value : feature.values) {
    uint64_t length = TakeCount(at);
    value = {at, length};
    at += length;
  }
  feature.place = {File(f), Line(f)};
}

LayerWriterFactory FeatureStore::Factory() {
  return [this](const LayerSchema& schema, const std::string&) {
    return std::make_unique<MemoryLayerWriter>(schema, *this);
  };
}

std::vector<StoredLayer> FeatureStore::Layers() const {
  std::lock_guard lock(mutex_);
  return layers_;
}

std::vector<StoredLayer> FeatureStore::TakeLayers() {
  std::lock_guard lock(mutex_);
  return std::exchange(layers_, {});
}

void FeatureStore::Add(StoredLayer layer) {
  std::lock_guard lock(mutex_);
  layers_.push_back(std::move(layer));
}

MemoryLayerWriter::MemoryLayerWriter(const LayerSchema& schema, FeatureStore& store)
    : store_(store) {
  layer_.name = schema.name;
  layer_.caption = schema.caption;
  layer_.kind = schema.kind;
  layer_.columns.assign(schema.columns.begin(), schema.columns.end());
  layer_.coordsys_index = schema.coordsys_index;
}

}  // namespace pelmora
