#include "core/mif/scaled_number.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/cpu_features.hpp"

namespace pelmora {
namespace {

// The environment's request, read here independently of cpu_features.
bool PortableRequested() {
  const char* value = std::getenv("PELMORA_FORCE_PORTABLE");
  return value != nullptr && *value != '\0' && std::strcmp(value, "0") != 0;
}

// CI runs the suite once more with PELMORA_FORCE_PORTABLE=1; that run must
// really take the portable bodies, and the normal one the vector bodies.
TEST(CpuFeaturesTest, PortableBodiesRunExactlyWhenForced) {
  EXPECT_EQ(kForcePortable, PortableRequested());
  if (kForcePortable) {
    EXPECT_FALSE(kUseSse2);
    EXPECT_FALSE(kUseAvx2);
  } else {
#if defined(__SSE2__)
    EXPECT_TRUE(kUseSse2);
#endif
  }
}

struct ScaledCase {
  bool negative;
  uint64_t units;
  const char* text;
};

// Every count of integer digits (leading zeros of the vector's eight
// dropped), fractions with leading and trailing zeros, both signs and the
// ends of the range.
const std::vector<ScaledCase> kScaledCases = {
    {false, 100000000, "1.00000000"},
    {true, 100000001, "-1.00000001"},
    {false, 1234567890, "12.34567890"},
    {true, 12300000000, "-123.00000000"},
    {false, 123456000012, "1234.56000012"},
    {false, 1000000000000, "10000.00000000"},
    {true, 99999999999999, "-999999.99999999"},
    {false, 700000000050000, "7000000.00050000"},
    {true, 799999999999999, "-7999999.99999999"},
    {false, 450001000000, "4500.01000000"},
    {false, 909090909090909, "9090909.09090909"},
};

std::string Scaled(char* (*write)(bool, uint64_t, char*), const ScaledCase& c) {
  char text[32];
  return std::string(text, write(c.negative, c.units, text));
}

TEST(WriteScaledTest, VectorAndPortableBodiesWriteTheSameText) {
  for (const ScaledCase& c : kScaledCases) {
    EXPECT_EQ(Scaled(WriteScaled, c), c.text);
    EXPECT_EQ(Scaled(WriteScaledPortable, c), c.text);
  }
}

// The AVX2 body makes the digits of two numbers at once: every case beside
// every other, so that each number is seen in both places.
TEST(WriteScaledTest, Avx2PairsWriteTheSameText) {
#if defined(PELMORA_AVX2_BODIES)
  if (!kUseAvx2) {
    GTEST_SKIP() << (kForcePortable ? "AVX2 not tested: PELMORA_FORCE_PORTABLE is set"
                                    : "AVX2 not tested: this processor does not have it");
  }
  char text[64];
  for (const ScaledCase& x : kScaledCases) {
    for (const ScaledCase& y : kScaledCases) {
      const std::string want = std::string(x.text) + " " + y.text;
      EXPECT_EQ(
          std::string(text, WriteScaledPairAvx2(x.negative, x.units, y.negative, y.units, text)),
          want);
    }
  }
#else
  GTEST_SKIP() << "AVX2 not tested: this build has no AVX2 body (not x86-64)";
#endif
}

}  // namespace
}  // namespace pelmora
