#include "tile_cache.hpp"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "view_transform.hpp"

namespace pelmora::render {
namespace {

// An area holding any map, for asking for every tile of a level.
constexpr Box kEverywhere{-1e300, -1e300, 1e300, 1e300};

size_t ImageBytes(const QImage& image) {
  return static_cast<size_t>(image.sizeInBytes());
}

}  // namespace

TileCache::TileCache(TileGrid grid, TileDrawer drawer, std::vector<char> visible, int threads,
                     size_t budget_bytes)
    : grid_(grid), drawer_(std::move(drawer)), budget_(budget_bytes), visible_(std::move(visible)) {
  for (int i = 0; i < std::max(threads, 1); ++i) threads_.emplace_back([this] { Work(); });
}

TileCache::~TileCache() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  for (std::thread& thread : threads_) thread.join();
}

void TileCache::SetVisibleLayers(std::vector<char> visible) {
  std::lock_guard lock(mutex_);
  if (visible == visible_) return;
  visible_ = std::move(visible);
  StartAnew();
}

void TileCache::SetPixelRatio(double ratio) {
  std::lock_guard lock(mutex_);
  if (!(ratio > 0) || ratio == ratio_) return;
  ratio_ = ratio;
  StartAnew();
}

void TileCache::StartAnew() {
  ++generation_;
  // The old pictures stand in for the new ones until these are drawn.
  stale_ = std::move(tiles_);
  tiles_.clear();
  wanted_.clear();
  bytes_ = 0;
  for (const auto& [key, tile] : stale_)
    if (key.level > 0) bytes_ += ImageBytes(tile.image);
  // Level 0 comes back when nothing else is asked for: the stand-in of last
  // resort.
  background_ = grid_.TilesIn(0, kEverywhere);
  wake_.notify_all();
}

void TileCache::SetOnTileReady(std::function<void()> callback) {
  std::lock_guard lock(callback_mutex_);
  on_ready_ = std::move(callback);
}

size_t TileCache::BytesHeld() const {
  std::lock_guard lock(mutex_);
  size_t bytes = 0;
  for (const auto* tiles : {&tiles_, &stale_})
    for (const auto& [key, tile] : *tiles) bytes += ImageBytes(tile.image);
  return bytes;
}

// The tile's square on the screen, its edges rounded to whole pixels so that
// neighbouring tiles meet without a seam.
QRect TileCache::ScreenRect(TileKey key, const ViewTransform& view) const {
  Box box = grid_.TileBox(key);
  QPointF top_left = view.ToScreen(box.min_x, box.max_y);
  QPointF bottom_right = view.ToScreen(box.max_x, box.min_y);
  QPoint a(static_cast<int>(std::lround(top_left.x())),
           static_cast<int>(std::lround(top_left.y())));
  QPoint b(static_cast<int>(std::lround(bottom_right.x())),
           static_cast<int>(std::lround(bottom_right.y())));
  return QRect(a, b - QPoint(1, 1));
}

const TileCache::Tile* TileCache::Find(std::map<TileKey, Tile>& tiles, TileKey key) {
  auto found = tiles.find(key);
  if (found == tiles.end()) return nullptr;
  found->second.used = ++clock_;
  return &found->second;
}

// The part of the nearest coarser tile of tiles over key; false if none.
bool TileCache::Ancestor(std::map<TileKey, Tile>& tiles, TileKey key, QRect target,
                         std::vector<Piece>& pieces) {
  for (int up = 1; up <= key.level; ++up) {
    TileKey parent{key.level - up, key.x >> up, key.y >> up};
    const Tile* tile = Find(tiles, parent);
    if (!tile) continue;
    double side = std::ldexp(TileGrid::kTileSide * tile->image.devicePixelRatio(), -up);
    QRectF source((key.x - (parent.x << up)) * side, (key.y - (parent.y << up)) * side, side, side);
    pieces.push_back({tile->image, source, target});
    return true;
  }
  return false;
}

// What shows where a tile is missing: the nearest coarser tile's part over
// it, and the finer tiles below it over that; else its picture from before
// the layers changed, or a coarser one of those. Coarse pieces come first so
// that finer ones cover them.
void TileCache::StandIn(TileKey key, QRect target, std::vector<Piece>& pieces) {
  size_t before = pieces.size();
  Ancestor(tiles_, key, target, pieces);
  if (key.level < TileGrid::kMaxLevel) {
    for (int child = 0; child < 4; ++child) {
      TileKey finer{key.level + 1, key.x * 2 + child % 2, key.y * 2 + child / 2};
      const Tile* tile = Find(tiles_, finer);
      if (!tile) continue;
      QRect quarter(target.x() + (child % 2) * target.width() / 2,
                    target.y() + (child / 2) * target.height() / 2, (target.width() + 1) / 2,
                    (target.height() + 1) / 2);
      pieces.push_back({tile->image, QRectF(tile->image.rect()), quarter});
    }
  }
  if (pieces.size() > before) return;
  if (const Tile* tile = Find(stale_, key))
    pieces.push_back({tile->image, QRectF(tile->image.rect()), target});
  else
    Ancestor(stale_, key, target, pieces);
}

TileCache::DrawOutcome TileCache::Draw(QPainter& painter, const ViewTransform& view) {
  DrawOutcome outcome;
  int level = grid_.LevelFor(view.PixelsPerMetre());
  std::vector<TileKey> keys = grid_.TilesIn(level, view.Visible());
  std::vector<Piece> pieces, stand_ins;
  bool asked = false;
  {
    std::lock_guard lock(mutex_);
    wanted_.clear();
    for (TileKey key : keys) {
      QRect target = ScreenRect(key, view);
      if (const Tile* tile = Find(tiles_, key)) {
        pieces.push_back({tile->image, QRectF(tile->image.rect()), target});
        continue;
      }
      ++outcome.missing;
      StandIn(key, target, stand_ins);
      if (!drawing_.count(key)) wanted_.push_back(key);
    }
    asked = !wanted_.empty();
  }
  outcome.tiles = static_cast<int>(keys.size());
  if (asked) wake_.notify_all();
  painter.save();
  painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
  for (const std::vector<Piece>* list : {&stand_ins, &pieces})
    for (const Piece& piece : *list) painter.drawImage(piece.target, piece.image, piece.source);
  painter.restore();
  return outcome;
}

void TileCache::RenderLevel(int level) {
  {
    std::lock_guard lock(mutex_);
    for (TileKey key : grid_.TilesIn(level, kEverywhere))
      if (!tiles_.count(key) && !drawing_.count(key)) wanted_.push_back(key);
  }
  wake_.notify_all();
  WaitUntilIdle(1e9);
}

bool TileCache::WaitUntilIdle(double seconds) {
  std::unique_lock lock(mutex_);
  return idle_.wait_for(lock, std::chrono::duration<double>(seconds), [this] { return Idle(); });
}

QImage TileCache::DrawTile(TileKey key, const std::vector<char>& visible, double ratio) const {
  int side = static_cast<int>(std::lround(TileGrid::kTileSide * ratio));
  QImage image(side, side, QImage::Format_RGB32);
  if (image.isNull()) return image;  // no memory for it: the stand-ins stay
  image.setDevicePixelRatio(ratio);
  image.fill(Qt::white);
  QPainter painter(&image);
  drawer_(painter, grid_.TileView(key), visible);
  painter.end();
  return image;
}

// Keeps a drawn tile, dropping the least recently used ones beyond the
// budget; level 0 stays, as the stand-in of last resort.
bool TileCache::Keep(TileKey key, QImage image) {
  const size_t bytes = key.level > 0 ? ImageBytes(image) : 0;
  try {
    if (!tiles_.emplace(key, Tile{std::move(image), ++clock_}).second) return false;
  } catch (...) {
    return false;  // no memory for the entry: as if the tile could not be drawn
  }
  bytes_ += bytes;
  while (bytes_ > budget_) {
    std::map<TileKey, Tile>* from = stale_.empty() ? &tiles_ : &stale_;
    auto oldest = from->end();
    for (auto it = from->begin(); it != from->end(); ++it)
      if (it->first.level > 0 && (oldest == from->end() || it->second.used < oldest->second.used))
        oldest = it;
    if (oldest == from->end()) {
      if (from == &stale_) {
        stale_.clear();
        continue;
      }
      break;
    }
    bytes_ -= ImageBytes(oldest->second.image);
    from->erase(oldest);
  }
  return true;
}

// Draws a tile, or gives a null picture when it cannot: no memory for it,
// or a drawer that failed. A worker thread must not end with an exception,
// which would end the program; the stand-ins stay, and the next view that
// shows the tile asks for it again.
QImage TileCache::TryDrawTile(TileKey key, const std::vector<char>& visible, double ratio) const {
  try {
    return DrawTile(key, visible, ratio);
  } catch (...) {
    return QImage();
  }
}

void TileCache::Work() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stopping_ || !wanted_.empty() || !background_.empty(); });
    if (stopping_) return;
    const bool for_view = !wanted_.empty();
    std::vector<TileKey>& from = for_view ? wanted_ : background_;
    TileKey key = from.front();
    from.erase(from.begin());
    if (tiles_.count(key) || drawing_.count(key)) {
      if (Idle()) idle_.notify_all();
      continue;
    }
    drawing_.insert(key);
    std::vector<char> visible = visible_;
    double ratio = ratio_;
    uint64_t generation = generation_;
    lock.unlock();
    QImage image = TryDrawTile(key, visible, ratio);
    lock.lock();
    drawing_.erase(key);
    bool kept = false;
    if (generation != generation_) {
      // The layers or the density changed while it was drawn. A view that
      // asked for it meanwhile left it out as being drawn, so it is drawn
      // again for them, or it would stay missing until the user pans.
      AskAgain(key, for_view ? wanted_ : background_);
    } else if (!image.isNull()) {
      kept = Keep(key, std::move(image));
    }
    if (Idle()) idle_.notify_all();
    if (!kept) continue;
    lock.unlock();
    AnnounceReady();
    lock.lock();
  }
}

void TileCache::AskAgain(TileKey key, std::vector<TileKey>& queue) {
  if (tiles_.count(key) || std::find(queue.begin(), queue.end(), key) != queue.end()) return;
  try {
    queue.insert(queue.begin(), key);
  } catch (...) {
    return;  // no memory: the next view asks for it
  }
  wake_.notify_one();
}

void TileCache::AnnounceReady() {
  std::lock_guard callback_lock(callback_mutex_);
  if (!on_ready_) return;
  try {
    on_ready_();
  } catch (...) {
    // No memory for the repaint request: the next one shows the tile.
  }
}

}  // namespace pelmora::render
