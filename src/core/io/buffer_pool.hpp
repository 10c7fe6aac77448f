#pragma once
// Large byte buffers kept per thread for reuse. Every layer reads files of
// the same sizes and writes through the same large buffers; fresh memory
// from the system costs a page fault for every 4 KB touched, which on a
// virtual machine adds up to a good part of a conversion's time. A thread
// keeps a few released buffers and hands them out again, so memory stays
// bounded by a few of the largest files however many layers or areas follow.
#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

#include "large_memory.hpp"

namespace pelmora {

struct PooledBuffer {
  LargeBytes bytes;
  size_t capacity = 0;
};

// A buffer of at least min_capacity bytes (contents undefined): the smallest
// kept one that is large enough, or a new one of that size (large ones
// rounded up to whole huge pages, see large_memory.hpp).
PooledBuffer TakeBuffer(size_t min_capacity);
// Keeps buffer for a later TakeBuffer on this thread, or frees it.
void GiveBackBuffer(PooledBuffer buffer);

// The same for tables of views, such as the lines of input files (returned
// empty).
ViewTable TakeViewTable();
void GiveBackViewTable(ViewTable views);

}  // namespace pelmora
