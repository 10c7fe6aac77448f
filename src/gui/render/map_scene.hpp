#pragma once
// The layers of a preview, ready to draw: each with its style, the bounding
// box of every feature and a grid over the whole map, so that drawing and
// clicking look only at the features near the view.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/output/memory_writer.hpp"
#include "map_style.hpp"

namespace pelmora::render {

struct Box {
  double min_x = 1, min_y = 1, max_x = 0, max_y = 0;  // empty until extended
  bool Empty() const { return min_x > max_x || min_y > max_y; }
  void Extend(const Box& other);
  void Extend(TSFPoint p);
  bool Meets(const Box& other) const {
    return !Empty() && !other.Empty() && min_x <= other.max_x && other.min_x <= max_x &&
           min_y <= other.max_y && other.min_y <= max_y;
  }
};

// The box of the shape's finite vertices; empty when it has none.
Box BoxOf(ShapeView shape);

struct SceneLayer {
  StoredLayer data;
  LayerStyle style;
  std::vector<Box> boxes;  // one per feature
  bool visible = true;
};

struct FeatureRef {
  int layer = -1;  // index into MapScene::layers()
  int feature = -1;
  bool Valid() const { return layer >= 0 && feature >= 0; }
  bool operator==(const FeatureRef&) const = default;
};

// An area drawn with a warning over it, and the box of its features.
struct FlaggedArea {
  std::string name;  // the area's subfolder
  Box box;
};

class TileCache;

class MapScene {
 public:
  MapScene() = default;
  // Takes the layers in the store's order and keeps them in drawing order.
  // flagged_areas names the areas drawn flagged (see LoadResult).
  explicit MapScene(std::vector<StoredLayer> layers,
                    const std::vector<std::string>& flagged_areas = {});
  ~MapScene();
  // The tiles' threads read the scene where it is: it never moves.
  MapScene(MapScene&&) = delete;
  MapScene& operator=(MapScene&&) = delete;

  const std::vector<SceneLayer>& layers() const { return layers_; }
  // The tiles follow: they are drawn anew with the layers now visible.
  void SetVisible(int layer, bool visible);
  // Per layer, whether it is shown.
  std::vector<char> VisibleLayers() const;
  // The tiles a large map is drawn from (see TileCache); none for a small
  // map, which is drawn directly.
  TileCache* Tiles() const { return tiles_.get(); }
  void SetTiles(std::unique_ptr<TileCache> tiles);
  const Box& Extent() const { return extent_; }
  // The features of all layers together.
  size_t FeatureCount() const { return feature_count_; }
  // In the order named; an area without features has an empty box.
  const std::vector<FlaggedArea>& FlaggedAreas() const { return flagged_; }

  // The features of a layer whose boxes meet area, each once.
  std::vector<int32_t> FeaturesIn(int layer, const Box& area) const;

  // The top-most feature of a visible layer that p hits within tolerance
  // (metres); invalid when none does.
  FeatureRef FeatureAt(TSFPoint p, double tolerance) const;

 private:
  struct Cells {
    int first_x, first_y, last_x, last_y;
  };
  Cells CellsOf(const Box& box) const;
  // The features of a layer whose boxes meet each cell, cell after cell
  // (row-major), each cell's in feature order.
  struct LayerGrid {
    std::vector<size_t> cell_start;  // per cell where its features begin, then the end
    std::vector<int32_t> features;
  };
  void BuildGrid();
  LayerGrid GridOf(const std::vector<Box>& boxes) const;
  void FindFlaggedAreas(const std::vector<std::string>& names);

  std::vector<SceneLayer> layers_;
  Box extent_;
  size_t feature_count_ = 0;
  std::vector<FlaggedArea> flagged_;
  int grid_size_ = 1;
  double cell_w_ = 1, cell_h_ = 1;
  std::vector<LayerGrid> grid_;  // per layer
  // Last, so that its threads stop before the layers they read go.
  std::unique_ptr<TileCache> tiles_;
};

}  // namespace pelmora::render
