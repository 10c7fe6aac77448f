#pragma once
// The pyramid of square tiles a large map is drawn from: level 0 shows the
// whole map about a thousand pixels across, and each level above doubles the
// scale. A view is made of the tiles of the level nearest its scale, each
// drawn once and then only moved and scaled: panning and zooming cost the
// copying of a few pictures, not the drawing of every feature in view.
#include <compare>
#include <vector>

#include "map_scene.hpp"

namespace pelmora::render {

class ViewTransform;

struct TileKey {
  int level = 0, x = 0, y = 0;  // x to the east, y to the south of the map's top-left corner
  auto operator<=>(const TileKey&) const = default;
};

class TileGrid {
 public:
  static constexpr int kTileSide = 256;  // pixels
  // The longest side of the map at level 0, in pixels.
  static constexpr int kBaseSide = 1024;
  // Levels above this would tile a scale the view cannot reach.
  static constexpr int kMaxLevel = 24;

  TileGrid() = default;
  explicit TileGrid(const Box& extent);

  bool Empty() const { return extent_.Empty(); }
  double PixelsPerMetre(int level) const;
  // The level whose scale is nearest to the view's (by ratio).
  int LevelFor(double pixels_per_metre) const;
  // The plane area a tile shows.
  Box TileBox(TileKey key) const;
  // The tiles of level that meet both area and the map, rows from the
  // centre of area outwards, so that the middle of a view comes first.
  std::vector<TileKey> TilesIn(int level, const Box& area) const;
  // The view that draws the tile into a picture of kTileSide pixels.
  ViewTransform TileView(TileKey key) const;

 private:
  Box extent_;
  double base_ppm_ = 1;
};

}  // namespace pelmora::render
