#include "core/io/buffer_pool.hpp"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace pelmora
