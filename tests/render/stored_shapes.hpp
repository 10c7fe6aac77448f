#pragma once
// Layers of made-up features for the drawing tests.
#include <string>
#include <string_view>
#include <vector>

#include "core/output/memory_writer.hpp"

namespace pelmora::render {

// Adds a single-part feature through the vertices, read from file.
inline void AddShape(StoredLayer& layer, const std::vector<TSFPoint>& points,
                     std::string_view file = {}) {
  Feature feature;
  feature.geometry.ResetSinglePart();
  for (TSFPoint p : points) feature.geometry.AddPoint(p);
  feature.place = {file, 1};
  layer.Add(feature);
}

inline StoredLayer ShapeLayer(std::string name, GeometryKind kind,
                              const std::vector<std::vector<TSFPoint>>& shapes = {}) {
  StoredLayer layer;
  layer.name = std::move(name);
  layer.kind = kind;
  for (const auto& points : shapes) AddShape(layer, points);
  return layer;
}

}  // namespace pelmora::render
