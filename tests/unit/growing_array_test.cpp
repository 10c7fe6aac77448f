// The store's arrays keep every element through growth, copies and moves.
#include "core/io/growing_array.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace pelmora {
namespace {

TEST(GrowingArray, KeepsElementsThroughGrowthCopyAndMove) {
  // Appends one at a time and in runs, past the sizes at which the C library
  // moves a block from the heap to a mapping of its own.
  for (size_t run : {size_t{1}, size_t{3}, size_t{1000}, size_t{300000}}) {
    SCOPED_TRACE(run);
    GrowingArray<uint64_t> array;
    std::vector<uint64_t> expected;
    std::vector<uint64_t> chunk(run);
    while (expected.size() < 2'000'000) {
      for (size_t i = 0; i < run; ++i) chunk[i] = expected.size() + i;
      if (run == 1)
        array.push_back(chunk[0]);
      else
        array.append(chunk.data(), chunk.size());
      expected.insert(expected.end(), chunk.begin(), chunk.end());
    }
    array.append(nullptr, 0);
    ASSERT_EQ(std::vector<uint64_t>(array.begin(), array.end()), expected);

    GrowingArray<uint64_t> copy = array;
    GrowingArray<uint64_t> moved = std::move(array);
    EXPECT_TRUE(array.empty());  // NOLINT(bugprone-use-after-move): moved from is empty
    copy.push_back(7);
    EXPECT_EQ(copy.back(), 7u);
    EXPECT_EQ(copy.size(), expected.size() + 1);
    ASSERT_EQ(std::vector<uint64_t>(moved.begin(), moved.end()), expected);
    moved = copy;
    EXPECT_EQ(moved.size(), copy.size());
    EXPECT_EQ(moved[expected.size()], 7u);
  }
  GrowingArray<int32_t> listed{0};
  EXPECT_EQ(listed.size(), 1u);
}

}  // namespace
}  // namespace pelmora
