#include "memory_writer.hpp"

#include <utility>

namespace pelmora {

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

void MemoryLayerWriter::Write(const Feature& feature) {
  StoredFeature& stored = layer_.features.emplace_back();
  stored.geometry = feature.geometry;
  stored.values.assign(feature.values.begin(), feature.values.end());
  stored.file = feature.place.file;
  stored.line = feature.place.line;
}

}  // namespace pelmora
