#include "large_memory.hpp"

#include <cstdint>

#include "../platform/system.hpp"

namespace pelmora {
namespace {

constexpr size_t kHugePage = size_t{2} << 20;

// Under AddressSanitizer every block comes from the heap, where a read past
// its end is caught; in a block of whole pages it would go unnoticed.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kMapLargeBlocks = false;
#else
constexpr bool kMapLargeBlocks = true;
#endif

bool IsLarge(size_t bytes) {
  return kMapLargeBlocks && bytes >= kLargeBlock;
}

size_t RoundUpToHugePages(size_t bytes) {
  return (bytes + kHugePage - 1) & ~(kHugePage - 1);
}

}  // namespace

size_t LargeCapacity(size_t bytes) {
  return IsLarge(bytes) ? RoundUpToHugePages(bytes) : bytes;
}

void* AllocateLarge(size_t bytes) {
  if (!IsLarge(bytes)) return ::operator new(bytes);
  if (bytes > SIZE_MAX - kHugePage) throw std::bad_alloc();
  const size_t size = RoundUpToHugePages(bytes);
  void* p = platform::MapAlignedPages(size, kHugePage);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}

void FreeLarge(void* p, size_t bytes) noexcept {
  if (p == nullptr) return;
  if (!IsLarge(bytes)) {
    ::operator delete(p);
    return;
  }
  platform::UnmapPages(p, RoundUpToHugePages(bytes));
}

}  // namespace pelmora
