#pragma once
// An output that keeps the features of every layer in memory instead of
// writing files: what a map preview draws, and what tests record. Layers
// become visible in the store when they are committed, in commit order.
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "../io/growing_array.hpp"
#include "layer_writer.hpp"

namespace pelmora {

// The features of one layer, kept in a few arrays for the whole layer rather
// than in objects of their own: a map of millions of features then costs
// little more than its vertices, and keeping a feature allocates nothing of
// its own. The arrays grow without copying (growing_array.hpp). Features are
// numbered from 0 in the order added.
class StoredLayer {
 public:
  std::string name, caption;
  GeometryKind kind = GeometryKind::kPoint;
  std::vector<std::string> columns;
  int coordsys_index = 0;

  // Appends a copy of the feature: its geometry, values and place.
  void Add(const Feature& feature);

  size_t size() const { return lines_.size(); }
  bool empty() const { return lines_.empty(); }
  // The vertices of all features together.
  size_t VertexCount() const { return points_.size(); }

  // Feature f's vertices, and its part offsets counted from its first vertex.
  ShapeView Geometry(size_t f) const;
  // Feature f's values as added (code page 932 bytes): as many as it had,
  // and the value of a column it had none for empty.
  size_t ValueCount(size_t f) const;
  std::string_view Value(size_t f, size_t column) const;
  // The place of feature f's record: the input file and its 1-based line.
  std::string_view File(size_t f) const { return files_[file_of_[f]]; }
  int Line(size_t f) const { return lines_[f]; }
  // The input files of the features, each once, and feature f's entry in
  // them: what is asked per file need not be asked per feature.
  const std::vector<std::string>& Files() const { return files_; }
  size_t FileOf(size_t f) const { return file_of_[f]; }

  // Feature f as it was added, to hand to a writer: the geometry copied into
  // feature.geometry (reusing its room), the values and the file as views
  // into this layer.
  void Get(size_t f, Feature& feature) const;

 private:
  uint32_t FileIndex(std::string_view file);

  GrowingArray<TSFPoint> points_;
  GrowingArray<int32_t> parts_;
  // Per feature, where its vertices, parts and values begin; one more entry
  // at the end for the end of the last feature's vertices and parts.
  GrowingArray<uint64_t> point_start_{0}, part_start_{0}, value_start_;
  // Per feature its count of values, then each value's length and bytes;
  // counts and lengths as 7-bit groups, low first, so that a short value
  // costs one byte more than its text.
  GrowingArray<char> values_;
  std::vector<std::string> files_;  // each input file once
  GrowingArray<uint32_t> file_of_;  // per feature, its entry in files_
  GrowingArray<int32_t> lines_;
};

// The committed layers of a run. Writers of several workers may commit at
// once; the store is safe to use from any thread.
class FeatureStore {
 public:
  // A factory for ConversionSettings::writer_factory; the store must outlive
  // the run.
  LayerWriterFactory Factory();

  // The layers committed so far, in commit order.
  std::vector<StoredLayer> Layers() const;
  // Moves the layers committed so far out of the store, leaving it empty:
  // a large map is then never held twice.
  std::vector<StoredLayer> TakeLayers();

  void Add(StoredLayer layer);

 private:
  mutable std::mutex mutex_;
  std::vector<StoredLayer> layers_;
};

class MemoryLayerWriter : public LayerWriter {
 public:
  MemoryLayerWriter(const LayerSchema& schema, FeatureStore& store);

  void Write(const Feature& feature) override { layer_.Add(feature); }
  void Finish() override {}
  void Commit() override { store_.Add(std::move(layer_)); }

 private:
  FeatureStore& store_;
  StoredLayer layer_;
};

}  // namespace pelmora
