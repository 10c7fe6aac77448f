#include "buffer_pool.hpp"

#include <algorithm>

#include "../platform/system.hpp"

namespace pelmora {
namespace {

// A converter holds up to three input files and two output files at a time.
constexpr size_t kKeptPerThread = 6;

struct Spares {
  std::vector<PooledBuffer> buffers;
  std::vector<ViewTable> view_tables;
};

// Only a pointer is thread-local (trivially destructible): the spares are
// freed when the thread ends through platform::AtThreadExit, as a
// thread_local object with a destructor cannot be on Windows.
thread_local Spares* thread_spares = nullptr;

void FreeSpares(void* spares) {
  delete static_cast<Spares*>(spares);
  // Windows also ends the main thread's spares when the process exits, and
  // a static object destroyed after that may still give a buffer back: it
  // then finds no spares rather than freed ones.
  thread_spares = nullptr;
}

Spares& ThreadSpares() {
  if (thread_spares == nullptr) {
    thread_spares = new Spares;
    platform::AtThreadExit(FreeSpares, thread_spares);
  }
  return *thread_spares;
}

// Keeps item in spares; when full, the smallest goes (item itself if it is).
template <typename T, typename Size>
void Keep(std::vector<T>& spares, T item, Size size) {
  if (spares.size() < kKeptPerThread) {
    spares.push_back(std::move(item));
    return;
  }
  auto smallest = std::min_element(spares.begin(), spares.end(),
                                   [&](const T& a, const T& b) { return size(a) < size(b); });
  if (size(*smallest) < size(item)) *smallest = std::move(item);
}

}  // namespace

PooledBuffer TakeBuffer(size_t min_capacity) {
  std::vector<PooledBuffer>& spare_buffers = ThreadSpares().buffers;
  auto best = spare_buffers.end();
  for (auto it = spare_buffers.begin(); it != spare_buffers.end(); ++it) {
    if (it->capacity >= min_capacity &&
        (best == spare_buffers.end() || it->capacity < best->capacity)) {
      best = it;
    }
  }
  if (best == spare_buffers.end()) {
    const size_t capacity = LargeCapacity(min_capacity);
    return {LargeBytes(static_cast<char*>(AllocateLarge(capacity)), LargeFree{capacity}), capacity};
  }
  PooledBuffer buffer = std::move(*best);
  spare_buffers.erase(best);
  return buffer;
}

void GiveBackBuffer(PooledBuffer buffer) {
  if (!buffer.bytes) return;
  Keep(ThreadSpares().buffers, std::move(buffer), [](const PooledBuffer& b) { return b.capacity; });
}

ViewTable TakeViewTable() {
  std::vector<ViewTable>& spare_view_tables = ThreadSpares().view_tables;
  if (spare_view_tables.empty()) return {};
  auto largest =
      std::max_element(spare_view_tables.begin(), spare_view_tables.end(),
                       [](const auto& a, const auto& b) { return a.capacity() < b.capacity(); });
  ViewTable views = std::move(*largest);
  spare_view_tables.erase(largest);
  return views;
}

void GiveBackViewTable(ViewTable views) {
  if (views.capacity() == 0) return;
  views.clear();
  Keep(ThreadSpares().view_tables, std::move(views),
       [](const ViewTable& v) { return v.capacity(); });
}

}  // namespace pelmora
