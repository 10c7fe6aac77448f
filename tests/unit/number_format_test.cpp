#include "core/mif/number_format.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string_view>

namespace pelmora {
namespace {

TEST(FormatCoordTest, EightDecimalsRoundedHalfAwayFromZero) {
  struct Case {
    double value;
    const char* text;
  };
  for (const auto& c :
       std::vector<Case>{{0.5, "0.50000000"},
                         {12, "12.00000000"},
                         {123456.789, "123456.78900000"},
                         {-12345.6, "-12345.60000000"},
                         {67890.12, "67890.12000000"},
                         {-0.000000004, "0.00000000"},
                         {-0.000000006, "-0.00000001"},
                         {0.000000005, "0.00000001"},
                         {0.000000004999, "0.00000000"},
                         {-123.456, "-123.45600000"},
                         {0.0, "0.00000000"},
                         {-0.0, "0.00000000"},
                         {1e-300, "0.00000000"},
                         {9.999999996, "10.00000000"},  // carry through every digit
                         {9.999999995, "9.99999999"},   // the double lies below ...995
                         {-99999999.999999999, "-100000000.00000000"},
                         {0.1, "0.10000000"},
                         {1.000000005, "1.00000000"},  // 1.00000000499999997 in 18 digits
                         {2.5e-9, "0.00000000"},
                         {7.5e-9, "0.00000001"},
                         {2030, "2030.00000000"},
                         {-1e-9, "0.00000000"},
                         {123456789012345678.0, "123456789012345680.00000000"},
                         {1e20, "100000000000000000000.00000000"}}) {
    EXPECT_EQ(FormatCoord(c.value), c.text) << c.value;
  }
}

TEST(FormatCoordTest, LongestValueFitsTheBuffer) {
  std::string text = FormatCoord(-1.7976931348623157e308);
  EXPECT_LT(text.size(), kMaxCoordText);
  EXPECT_EQ(text.substr(0, 19), "-179769313486231571");
  EXPECT_EQ(text.substr(text.size() - 9), ".00000000");
}

// The integer fast path for map coordinates must agree with the definition
// by 18 digits everywhere, above all next to the rounding boundaries.
TEST(FormatCoordTest, FastPathAgreesWithDigitDefinition) {
  std::mt19937_64 random(2500);
  std::vector<double> values = {1.0,
                                9.999999995,
                                999999999.99999994,
                                100000000.000000005,
                                1.000003814697265625,
                                12345.678900005,
                                2030.000000005};
  for (int i = 0; i < 400000; ++i) {
    const double magnitude = std::pow(10.0, std::uniform_real_distribution<double>(0, 9)(random));
    values.push_back(i % 2 ? magnitude : -magnitude);
    // Two-decimal data plus an origin, as converted coordinates are.
    const double field = static_cast<double>(random() % 20000000) / 100 - 100000;
    values.push_back(field + 45000.5);
    // Exactly half a unit of the eighth decimal, and its neighbours.
    const double tie = (static_cast<double>(random() % 100000000000) + 0.5) / 1e8;
    values.push_back(tie);
    values.push_back(std::nextafter(tie, 0.0));
    values.push_back(std::nextafter(tie, 1e9));
    // Sums of short decimals lie next to a multiple of 10^-8 but rarely on
    // it: a few units in the last place either side, and values a quarter
    // of a unit away, where the shortcut for such sums must step aside.
    const double units = static_cast<double>(random() % 900000000000000) + 1e8;
    const double near = units / 1e8;
    values.push_back(near);
    values.push_back(-std::nextafter(std::nextafter(near, 0.0), 0.0));
    values.push_back(std::nextafter(near, 1e9));
    values.push_back((units + 0.25) / 1e8);
    values.push_back((units - 0.2500001) / 1e8);
  }
  // The bounds of the shortcut: 1 and 8 * 10^6 with their neighbours.
  for (double bound : {1.0, 8e6, 7999999.99999999, 0.99999999}) {
    values.push_back(bound);
    values.push_back(std::nextafter(bound, 0.0));
    values.push_back(-std::nextafter(bound, 1e9));
  }
  char fast[kMaxCoordText], slow[kMaxCoordText];
  for (double value : values) {
    const std::string_view got(fast, FormatCoord(value, fast));
    const std::string_view want(slow, FormatCoordByDigits(value, slow));
    ASSERT_EQ(got, want) << std::hexfloat << value;
  }
  // Pairs, as vertices are written: each value beside its neighbour in the
  // list, so that quick and general values meet in both places.
  char pair[2 * kMaxCoordText + 1];
  for (size_t i = 0; i + 1 < values.size(); ++i) {
    const double x = values[i], y = values[i + 1];
    const std::string want = FormatCoord(x) + " " + FormatCoord(y);
    ASSERT_EQ(std::string_view(pair, FormatCoordPair(x, y, pair)), want)
        << std::hexfloat << x << " " << y;
    ASSERT_EQ(std::string_view(pair, FormatCoordPairPortable(x, y, pair)), want)
        << std::hexfloat << x << " " << y;
  }
}

}  // namespace
}  // namespace pelmora
