#include "core/io/buffer_pool.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <thread>
#include <vector>

namespace pelmora {
namespace {

// Buffers come back as the smallest kept one that is large enough, and the
// pool keeps only a few, dropping the smallest.
void CheckFreshPool() {
  std::vector<PooledBuffer> buffers;
  for (size_t size : {300, 100, 200}) {
    buffers.push_back(TakeBuffer(size));
    ASSERT_EQ(buffers.back().capacity, size);
  }
  const char* of_200 = buffers[2].bytes.get();
  for (PooledBuffer& buffer : buffers) GiveBackBuffer(std::move(buffer));
  PooledBuffer fits = TakeBuffer(150);
  EXPECT_EQ(fits.capacity, 200u);
  EXPECT_EQ(fits.bytes.get(), of_200);
  PooledBuffer larger = TakeBuffer(1000);  // none large enough: a new one
  EXPECT_EQ(larger.capacity, 1000u);
  // Another thread has a pool of its own.
  std::thread([] { EXPECT_EQ(TakeBuffer(50).capacity, 50u); }).join();
  GiveBackBuffer(std::move(fits));
  GiveBackBuffer(std::move(larger));
  // Ten more small ones: the large ones stay, the pool does not grow.
  for (int i = 0; i < 10; ++i) GiveBackBuffer(TakeBuffer(1 + i));
  EXPECT_EQ(TakeBuffer(900).capacity, 1000u);
}

TEST(BufferPoolTest, HandsOutTheSmallestKeptBufferThatFits) {
  // A new thread starts with an empty pool, whatever ran before here.
  std::thread(CheckFreshPool).join();
}

// Large blocks are whole huge pages on a huge page boundary, and every byte
// asked for is usable; small ones are ordinary heap blocks of their size.
TEST(LargeMemoryTest, LargeBlocksAreWholeAlignedHugePages) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "under AddressSanitizer every block is a heap block";
#endif
  constexpr size_t kHuge = size_t{2} << 20;
  struct Case {
    size_t bytes, capacity;
    bool aligned;
  };
  for (const Case& c : {Case{100, 100, false}, Case{kLargeBlock - 1, kLargeBlock - 1, false},
                        Case{kLargeBlock, kHuge, true}, Case{kHuge + 1, 2 * kHuge, true},
                        Case{3 * kHuge, 3 * kHuge, true}}) {
    EXPECT_EQ(LargeCapacity(c.bytes), c.capacity) << c.bytes;
    void* p = AllocateLarge(c.bytes);
    if (c.aligned) {
      EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % kHuge, 0u) << c.bytes;
    }
    std::memset(p, 0x5a, c.capacity);
    FreeLarge(p, c.bytes);
  }
  // A pooled buffer reports the whole block it got.
  std::thread([] { EXPECT_EQ(TakeBuffer(kHuge + 1).capacity, 2 * kHuge); }).join();
  // A vector moves between small and large blocks as it grows and shrinks.
  LargeVector<uint64_t> numbers;
  for (uint64_t i = 0; i < 3 * kHuge / sizeof(uint64_t); ++i) numbers.push_back(i);
  numbers.resize(10);
  numbers.shrink_to_fit();
  EXPECT_EQ(numbers[9], 9u);
}

}  // namespace
}  // namespace pelmora
