#include "tile_grid.hpp"

#include <algorithm>
#include <cmath>

#include "view_transform.hpp"

namespace pelmora::render {

TileGrid::TileGrid(const Box& extent) : extent_(extent) {
  if (Empty()) return;
  double side = std::max({extent.max_x - extent.min_x, extent.max_y - extent.min_y, 1e-3});
  base_ppm_ = kBaseSide / side;
}

double TileGrid::PixelsPerMetre(int level) const {
  return std::ldexp(base_ppm_, level);
}

int TileGrid::LevelFor(double pixels_per_metre) const {
  if (!(pixels_per_metre > 0)) return 0;
  double level = std::round(std::log2(pixels_per_metre / base_ppm_));
  return static_cast<int>(std::clamp(level, 0.0, static_cast<double>(kMaxLevel)));
}

Box TileGrid::TileBox(TileKey key) const {
  double side = kTileSide / PixelsPerMetre(key.level);
  double left = extent_.min_x + key.x * side, top = extent_.max_y - key.y * side;
  return {left, top - side, left + side, top};
}

std::vector<TileKey> TileGrid::TilesIn(int level, const Box& area) const {
  std::vector<TileKey> tiles;
  Box wanted = area;
  wanted.min_x = std::max(wanted.min_x, extent_.min_x);
  wanted.max_x = std::min(wanted.max_x, extent_.max_x);
  wanted.min_y = std::max(wanted.min_y, extent_.min_y);
  wanted.max_y = std::min(wanted.max_y, extent_.max_y);
  if (Empty() || wanted.Empty()) return tiles;
  double side = kTileSide / PixelsPerMetre(level);
  auto index = [side](double offset) { return static_cast<int>(std::floor(offset / side)); };
  // A map edge exactly on a tile edge needs no tile beyond it.
  int first_x = index(wanted.min_x - extent_.min_x), last_x = index(wanted.max_x - extent_.min_x);
  int first_y = index(extent_.max_y - wanted.max_y), last_y = index(extent_.max_y - wanted.min_y);
  last_x = std::max(first_x, std::min(last_x, index(extent_.max_x - extent_.min_x - side * 1e-9)));
  last_y = std::max(first_y, std::min(last_y, index(extent_.max_y - extent_.min_y - side * 1e-9)));
  for (int y = first_y; y <= last_y; ++y)
    for (int x = first_x; x <= last_x; ++x) tiles.push_back({level, x, y});
  double centre_x = (first_x + last_x) / 2.0, centre_y = (first_y + last_y) / 2.0;
  std::stable_sort(tiles.begin(), tiles.end(), [&](const TileKey& a, const TileKey& b) {
    return std::hypot(a.x - centre_x, a.y - centre_y) < std::hypot(b.x - centre_x, b.y - centre_y);
  });
  return tiles;
}

ViewTransform TileGrid::TileView(TileKey key) const {
  Box box = TileBox(key);
  ViewTransform view;
  view.SetSize(QSize(kTileSide, kTileSide));
  view.SetCentre((box.min_x + box.max_x) / 2, (box.min_y + box.max_y) / 2,
                 PixelsPerMetre(key.level));
  return view;
}

}  // namespace pelmora::render
