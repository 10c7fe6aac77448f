#pragma once
// Memory for the large blocks of a conversion: the bytes of input files,
// their line tables and indexes, the output buffers. Each 4 KB page of fresh
// memory costs a page fault when first touched, and on virtual machines a
// fault costs several microseconds: a 20 MB area spent a third of its time
// in them. Blocks of at least kLargeBlock bytes are therefore mapped on their
// own in whole 2 MB huge pages, on a 2 MB boundary, and offered to the kernel
// for transparent huge pages, which are faulted in 2 MB at a time. Where the
// kernel does not use huge pages they are ordinary pages. Smaller blocks come
// from the usual heap.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <string_view>
#include <vector>

namespace pelmora {

// From this size on a block takes whole huge pages; at most half of one
// goes unused.
inline constexpr size_t kLargeBlock = size_t{1} << 20;

// At least bytes bytes, not zeroed by contract; throws std::bad_alloc.
void* AllocateLarge(size_t bytes);
// Frees p, which AllocateLarge gave for the same bytes.
void FreeLarge(void* p, size_t bytes) noexcept;
// The bytes AllocateLarge(bytes) really provides: large blocks are whole
// multiples of 2 MB, and callers that can use the rest may ask for it.
size_t LargeCapacity(size_t bytes);

// A standard allocator over AllocateLarge, for vectors that grow large.
template <typename T>
struct LargeAllocator {
  using value_type = T;
  LargeAllocator() = default;
  template <typename U>
  LargeAllocator(const LargeAllocator<U>&) noexcept {}
  T* allocate(size_t n) {
    if (n > SIZE_MAX / sizeof(T)) throw std::bad_alloc();
    return static_cast<T*>(AllocateLarge(n * sizeof(T)));
  }
  void deallocate(T* p, size_t n) noexcept { FreeLarge(p, n * sizeof(T)); }
  template <typename U>
  bool operator==(const LargeAllocator<U>&) const noexcept {
    return true;
  }
};

template <typename T>
using LargeVector = std::vector<T, LargeAllocator<T>>;

// Views into a large block of bytes (the lines of an input file are one).
using ViewTable = LargeVector<std::string_view>;

// Frees a block of LargeBytes; it knows the size it was allocated for.
struct LargeFree {
  size_t bytes = 0;
  void operator()(char* p) const noexcept { FreeLarge(p, bytes); }
};
using LargeBytes = std::unique_ptr<char[], LargeFree>;

}  // namespace pelmora
