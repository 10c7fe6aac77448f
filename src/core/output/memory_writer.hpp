#pragma once
// An output that keeps the features of every layer in memory instead of
// writing files: what a map preview draws, and what tests record. Layers
// become visible in the store when they are committed, in commit order.
#include <mutex>
#include <string>
#include <vector>

#include "layer_writer.hpp"

namespace pelmora {

struct StoredFeature {
  TSFShape geometry;
  std::vector<std::string> values;  // code page 932 bytes, as read
  std::string file;                 // the place of the record
  int line = 0;
};

struct StoredLayer {
  std::string name, caption;
  GeometryKind kind = GeometryKind::kPoint;
  std::vector<std::string> columns;
  int coordsys_index = 0;
  std::vector<StoredFeature> features;
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

  void Write(const Feature& feature) override;
  void Finish() override {}
  void Commit() override { store_.Add(std::move(layer_)); }

 private:
  FeatureStore& store_;
  StoredLayer layer_;
};

}  // namespace pelmora
