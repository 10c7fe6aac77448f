#include "map_scene.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "hit_test.hpp"
#include "tile_cache.hpp"

namespace pelmora::render {

void Box::Extend(const Box& other) {
  if (other.Empty()) return;
  if (Empty()) {
    *this = other;
    return;
  }
  min_x = std::min(min_x, other.min_x);
  min_y = std::min(min_y, other.min_y);
  max_x = std::max(max_x, other.max_x);
  max_y = std::max(max_y, other.max_y);
}

void Box::Extend(TSFPoint p) {
  Extend(Box{p.X, p.Y, p.X, p.Y});
}

Box BoxOf(ShapeView shape) {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  double min_x = kInf, min_y = kInf, max_x = -kInf, max_y = -kInf;
  for (const TSFPoint& p : shape.points) {
    if (!std::isfinite(p.X) || !std::isfinite(p.Y)) continue;
    min_x = std::min(min_x, p.X);
    min_y = std::min(min_y, p.Y);
    max_x = std::max(max_x, p.X);
    max_y = std::max(max_y, p.Y);
  }
  if (min_x > max_x) return {};
  return {min_x, min_y, max_x, max_y};
}

MapScene::MapScene(std::vector<StoredLayer> layers, const std::vector<std::string>& flagged_areas) {
  // Room for every layer first: a scene layer may be copied, not moved, when
  // the array grows, and a copy of a large layer costs seconds.
  layers_.reserve(layers.size());
  for (StoredLayer& stored : layers) {
    SceneLayer& layer = layers_.emplace_back();
    layer.style = StyleForLayer(stored.name);
    layer.data = std::move(stored);
    layer.boxes.reserve(layer.data.size());
    for (size_t f = 0; f < layer.data.size(); ++f) {
      layer.boxes.push_back(BoxOf(layer.data.Geometry(f)));
      extent_.Extend(layer.boxes.back());
    }
    feature_count_ += layer.boxes.size();
  }
  std::stable_sort(layers_.begin(), layers_.end(),
                   [](const SceneLayer& a, const SceneLayer& b) { return a.style.z < b.style.z; });
  BuildGrid();
  FindFlaggedAreas(flagged_areas);
#if defined(__GLIBC__)
  // A scene is built right after reading a map, which frees as much memory
  // as the scene keeps; the allocator would hold on to it for good.
  malloc_trim(0);
#endif
}

MapScene::~MapScene() = default;

void MapScene::SetVisible(int layer, bool visible) {
  layers_[layer].visible = visible;
  if (tiles_) tiles_->SetVisibleLayers(VisibleLayers());
}

std::vector<char> MapScene::VisibleLayers() const {
  std::vector<char> visible;
  for (const SceneLayer& layer : layers_) visible.push_back(layer.visible);
  return visible;
}

void MapScene::SetTiles(std::unique_ptr<TileCache> tiles) {
  tiles_ = std::move(tiles);
}

// A feature belongs to the area its file lies in ("13101/gaiku/gaiku.pgn").
void MapScene::FindFlaggedAreas(const std::vector<std::string>& names) {
  for (const std::string& name : names) flagged_.push_back({name, {}});
  if (flagged_.empty()) return;
  constexpr size_t kNone = SIZE_MAX;
  for (const SceneLayer& layer : layers_) {
    // The flagged area of each of the layer's files, or none (the names are
    // each given once).
    std::vector<size_t> flag_of_file(layer.data.Files().size(), kNone);
    for (size_t i = 0; i < flag_of_file.size(); ++i) {
      std::string_view file = layer.data.Files()[i];
      std::string_view area = file.substr(0, file.find('/'));
      for (size_t a = 0; a < flagged_.size() && flag_of_file[i] == kNone; ++a)
        if (flagged_[a].name == area) flag_of_file[i] = a;
    }
    for (size_t f = 0; f < layer.data.size(); ++f) {
      size_t a = flag_of_file[layer.data.FileOf(f)];
      if (a != kNone) flagged_[a].box.Extend(layer.boxes[f]);
    }
  }
}

// About four features per cell on average, at most 256 × 256 cells.
void MapScene::BuildGrid() {
  grid_size_ = std::clamp(static_cast<int>(std::sqrt(feature_count_ / 4.0)), 1, 256);
  if (!extent_.Empty()) {
    cell_w_ = std::max((extent_.max_x - extent_.min_x) / grid_size_, 1e-9);
    cell_h_ = std::max((extent_.max_y - extent_.min_y) / grid_size_, 1e-9);
  }
  grid_.clear();
  for (const SceneLayer& layer : layers_) grid_.push_back(GridOf(layer.boxes));
}

// Counts the features of each cell, then places them: two passes over the
// boxes, and no array per cell.
MapScene::LayerGrid MapScene::GridOf(const std::vector<Box>& boxes) const {
  const size_t cells = static_cast<size_t>(grid_size_) * grid_size_;
  auto for_each_cell = [this](const Box& box, auto visit) {
    Cells range = CellsOf(box);
    for (int y = range.first_y; y <= range.last_y; ++y)
      for (int x = range.first_x; x <= range.last_x; ++x)
        visit(static_cast<size_t>(y) * grid_size_ + x);
  };
  LayerGrid grid;
  grid.cell_start.assign(cells + 1, 0);
  for (const Box& box : boxes)
    if (!box.Empty()) for_each_cell(box, [&](size_t cell) { ++grid.cell_start[cell + 1]; });
  for (size_t c = 0; c < cells; ++c) grid.cell_start[c + 1] += grid.cell_start[c];
  grid.features.resize(grid.cell_start[cells]);
  std::vector<size_t> next(grid.cell_start.begin(), grid.cell_start.end() - 1);
  for (size_t f = 0; f < boxes.size(); ++f) {
    if (boxes[f].Empty()) continue;
    for_each_cell(boxes[f],
                  [&](size_t cell) { grid.features[next[cell]++] = static_cast<int32_t>(f); });
  }
  return grid;
}

MapScene::Cells MapScene::CellsOf(const Box& box) const {
  auto cell = [this](double v, double origin, double size) {
    double index = std::floor((v - origin) / size);
    return static_cast<int>(std::clamp(index, 0.0, grid_size_ - 1.0));
  };
  return {cell(box.min_x, extent_.min_x, cell_w_), cell(box.min_y, extent_.min_y, cell_h_),
          cell(box.max_x, extent_.min_x, cell_w_), cell(box.max_y, extent_.min_y, cell_h_)};
}

std::vector<int32_t> MapScene::FeaturesIn(int layer, const Box& area) const {
  std::vector<int32_t> found;
  if (!area.Meets(extent_)) return found;
  const auto& boxes = layers_[layer].boxes;
  Cells query = CellsOf(area);
  for (int y = query.first_y; y <= query.last_y; ++y) {
    for (int x = query.first_x; x <= query.last_x; ++x) {
      const LayerGrid& grid = grid_[layer];
      const size_t cell = static_cast<size_t>(y) * grid_size_ + x;
      for (size_t i = grid.cell_start[cell]; i < grid.cell_start[cell + 1]; ++i) {
        int32_t f = grid.features[i];
        // A feature over several cells is reported by the first cell of the
        // query that it covers only.
        Cells own = CellsOf(boxes[f]);
        if (x != std::max(own.first_x, query.first_x) || y != std::max(own.first_y, query.first_y))
          continue;
        if (boxes[f].Meets(area)) found.push_back(f);
      }
    }
  }
  return found;
}

FeatureRef MapScene::FeatureAt(TSFPoint p, double tolerance) const {
  Box area{p.X - tolerance, p.Y - tolerance, p.X + tolerance, p.Y + tolerance};
  for (int l = static_cast<int>(layers_.size()) - 1; l >= 0; --l) {
    const SceneLayer& layer = layers_[l];
    if (!layer.visible) continue;
    // Within a layer the smallest feature hit is the one meant: a click
    // inside a small area that a large one encloses picks the small one.
    // An area drawn without a fill (a sheet frame, an administrative area)
    // is hit on its edge only, so that it does not hide the areas it
    // encloses.
    bool filled =
        layer.data.kind != GeometryKind::kPolygon || layer.style.brush.style() != Qt::NoBrush;
    FeatureRef best;
    double best_size = 0;
    for (int32_t f : FeaturesIn(l, area)) {
      const Box& box = layer.boxes[f];
      double size = (box.max_x - box.min_x) * (box.max_y - box.min_y);
      if (best.Valid() && size >= best_size) continue;
      ShapeView shape = layer.data.Geometry(f);
      bool hit = filled ? HitsShape(shape, layer.data.kind, p, tolerance)
                        : DistanceToEdges(shape, layer.data.kind, p) <= tolerance;
      if (hit) {
        best = {l, f};
        best_size = size;
      }
    }
    if (best.Valid()) return best;
  }
  return {};
}

}  // namespace pelmora::render
