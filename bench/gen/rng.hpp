#pragma once
// The generator's random numbers. A fixed algorithm (splitmix64) rather than
// the standard distributions, whose output differs between library versions:
// the same seed must give the same bytes on every machine.
#include <cstdint>

namespace pelmora::gen {

class Rng {
 public:
  explicit Rng(uint64_t seed) : state_(seed) {}

  // An independent stream for one purpose, so that adding draws to one part
  // of an area does not shift the values of every other part.
  Rng Fork(uint64_t salt) const { return Rng(Mix(state_ ^ Mix(salt + 0x51ED27A3ULL))); }

  uint64_t Next() {
    state_ += 0x9E3779B97F4A7C15ULL;
    return Mix(state_);
  }

  // Uniform integer in [lo, hi]; hi >= lo.
  int64_t Between(int64_t lo, int64_t hi) {
    uint64_t span = static_cast<uint64_t>(hi - lo) + 1;
    return lo + static_cast<int64_t>(Next() % span);
  }

  // True with the probability percent / 100.
  bool Percent(int percent) { return static_cast<int>(Next() % 100) < percent; }

  template <typename List>
  const auto& Pick(const List& list) {
    return list[Next() % list.size()];
  }

 private:
  static uint64_t Mix(uint64_t z) {
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }

  uint64_t state_;
};

}  // namespace pelmora::gen
