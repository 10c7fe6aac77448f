#include "large_memory.hpp"

#include <sys/mman.h>

#include <cstdint>

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

// A mapping of size bytes (a multiple of kHugePage) that starts on a huge
// page boundary: one huge page more is mapped and the unaligned ends are
// given back.
void* MapAligned(size_t size) {
  if (size > SIZE_MAX - kHugePage) return nullptr;
  const size_t mapped = size + kHugePage;
  void* p = ::mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (p == MAP_FAILED) return nullptr;
  const auto start = reinterpret_cast<uintptr_t>(p);
  const uintptr_t aligned = (start + kHugePage - 1) & ~(uintptr_t{kHugePage} - 1);
  const size_t head = aligned - start, tail = mapped - head - size;
  if (head > 0) ::munmap(p, head);
  if (tail > 0) ::munmap(reinterpret_cast<void*>(aligned + size), tail);
  return reinterpret_cast<void*>(aligned);
}

}  // namespace

size_t LargeCapacity(size_t bytes) {
  return IsLarge(bytes) ? RoundUpToHugePages(bytes) : bytes;
}

void* AllocateLarge(size_t bytes) {
  if (!IsLarge(bytes)) return ::operator new(bytes);
  if (bytes > SIZE_MAX - kHugePage) throw std::bad_alloc();
  const size_t size = RoundUpToHugePages(bytes);
  void* p = MapAligned(size);
  if (p == nullptr) throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
  // Only advice: without huge pages the block is ordinary memory.
  ::madvise(p, size, MADV_HUGEPAGE);
#endif
  return p;
}

void FreeLarge(void* p, size_t bytes) noexcept {
  if (p == nullptr) return;
  if (!IsLarge(bytes)) {
    ::operator delete(p);
    return;
  }
  ::munmap(p, RoundUpToHugePages(bytes));
}

}  // namespace pelmora
