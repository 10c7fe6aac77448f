#pragma once
// The tiles of a large map (see TileGrid), drawn by worker threads and kept
// while memory allows. A view is painted at once from what is at hand: the
// tiles of its level, and for those still being drawn a coarser tile scaled
// up, finer ones scaled down, or the tile as it was before the visible layers
// changed. The missing tiles are drawn in the background, the middle of the
// view first, and a callback says when one is ready, so that the view can be
// painted again.
#include <QImage>
#include <QPainter>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "tile_grid.hpp"

namespace pelmora::render {

class TileCache {
 public:
  // Draws what a tile shows into a painter on a picture of the tile's size:
  // the layers marked visible, at the tile's level. Called on the worker
  // threads, at the same time for different tiles.
  using TileDrawer =
      std::function<void(QPainter&, const ViewTransform&, const std::vector<char>& visible)>;

  // Memory for tiles beyond the pinned level 0, in bytes: about four
  // hundred tiles, the views of a long look around a city.
  static constexpr size_t kBudgetBytes = 128u << 20;

  TileCache(TileGrid grid, TileDrawer drawer, std::vector<char> visible, int threads,
            size_t budget_bytes = kBudgetBytes);
  ~TileCache();
  TileCache(const TileCache&) = delete;
  TileCache& operator=(const TileCache&) = delete;

  // The layers the tiles show. Changing them starts the tiles anew; the old
  // ones stand in until their replacements are drawn.
  void SetVisibleLayers(std::vector<char> visible);
  // Device pixels per pixel of the view (2 on a high-density screen): tiles
  // are drawn at that density. Changing it starts the tiles anew.
  void SetPixelRatio(double ratio);
  // Called on a worker thread each time a tile is ready; empty for none.
  void SetOnTileReady(std::function<void()> callback);

  struct DrawOutcome {
    int tiles = 0;    // of the view's level
    int missing = 0;  // of those, not yet drawn (stood in for, and asked for)
  };
  // Paints the view from the tiles at hand and asks for the missing ones.
  DrawOutcome Draw(QPainter& painter, const ViewTransform& view);
  // Draws every tile of a level, all worker threads at once, and returns
  // when they are done: the first picture of a map, during its loading.
  void RenderLevel(int level);
  // Waits until no tile is asked for or being drawn, at most seconds;
  // returns whether that happened.
  bool WaitUntilIdle(double seconds);

  const TileGrid& Grid() const { return grid_; }
  size_t BytesHeld() const;

 private:
  struct Tile {
    QImage image;
    uint64_t used = 0;  // the clock at its last use; the least recent goes first
  };
  struct Piece {  // a part of a tile's picture and where it goes
    QImage image;
    QRectF source;
    QRect target;
  };

  void Work();
  void StartAnew();
  QImage DrawTile(TileKey key, const std::vector<char>& visible, double ratio) const;
  QImage TryDrawTile(TileKey key, const std::vector<char>& visible, double ratio) const;
  // False when there was no memory to keep it.
  bool Keep(TileKey key, QImage image);
  // Puts a tile that was drawn for layers since changed back into its queue.
  void AskAgain(TileKey key, std::vector<TileKey>& queue);
  // Tells the view that a tile is ready, on the worker thread.
  void AnnounceReady();
  void StandIn(TileKey key, QRect target, std::vector<Piece>& pieces);
  bool Ancestor(std::map<TileKey, Tile>& tiles, TileKey key, QRect target,
                std::vector<Piece>& pieces);
  bool Idle() const { return wanted_.empty() && background_.empty() && drawing_.empty(); }
  const Tile* Find(std::map<TileKey, Tile>& tiles, TileKey key);
  QRect ScreenRect(TileKey key, const ViewTransform& view) const;

  const TileGrid grid_;
  const TileDrawer drawer_;
  const size_t budget_;
  mutable std::mutex mutex_;
  std::condition_variable wake_, idle_;
  std::map<TileKey, Tile> tiles_, stale_;
  std::vector<TileKey> wanted_;      // by the last view drawn, front first
  std::vector<TileKey> background_;  // when nothing is wanted
  std::set<TileKey> drawing_;
  std::vector<char> visible_;
  double ratio_ = 1;
  uint64_t generation_ = 0, clock_ = 0;
  size_t bytes_ = 0;  // of tiles_ and stale_ beyond level 0
  bool stopping_ = false;
  std::mutex callback_mutex_;
  std::function<void()> on_ready_;
  std::vector<std::thread> threads_;
};

}  // namespace pelmora::render
