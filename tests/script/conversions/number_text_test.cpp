// Numbers as text: the "%g" form of reals and integers in every radix, the same on every platform.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "script/runtime/number_text.h"

namespace vexil::script::test {
namespace {

TEST(RealToText, SixSignificantDigits) {
  const struct {
    double value;
    const char* text;
  } cases[] = {
      {1.5, "1.5"},
      {3.0, "3"},
      {100000.0, "100000"},
      {123456.0, "123456"},
      {1234567.0, "1.23457e+06"},
      {1e6, "1e+06"},
      {999999.5, "1e+06"},
      {123456.5, "123456"},  // an exact tie rounds to even
      {0.0001, "0.0001"},
      {0.00001, "1e-05"},
      {0.000123456789, "0.000123457"},
      {0.1 + 0.2, "0.3"},
      {1e15, "1e+15"},
      {1e100, "1e+100"},
      {-2.5, "-2.5"},
      {0.0, "0"},
      {-0.0, "-0"},
      {5e-324, "4.94066e-324"},
      {2.2250738585072014e-308, "2.22507e-308"},
      {1.7976931348623157e308, "1.79769e+308"},
      {std::numeric_limits<double>::infinity(), "Infinity"},
      {-std::numeric_limits<double>::infinity(), "-Infinity"},
      {std::nan(""), "NaN"},
  };
  for (const auto& c : cases) EXPECT_EQ(realToText(c.value), c.text) << c.text;
}

TEST(IntegerToText, RadixAndTwosComplement) {
  const struct {
    int64_t value;
    int32_t radix;
    const char* text;
  } cases[] = {
      {10, 10, "10"},
      {-5, 10, "-5"},
      {0, 2, "0"},
      {5, 2, "101"},
      {255, 16, "ff"},
      {35, 36, "z"},
      {-5, 2, "1111111111111111111111111111111111111111111111111111111111111011"},
      {-1, 16, "ffffffffffffffff"},
      {-8, 8, "1777777777777777777770"},
      {std::numeric_limits<int64_t>::min(), 10, "-9223372036854775808"},
      {std::numeric_limits<int64_t>::max(), 36, "1y2p0ij32e8e7"},
      {10, 1, "10"},   // radices outside 2..36 write decimal
      {10, 37, "10"},
      {-10, 0, "-10"},
  };
  for (const auto& c : cases) EXPECT_EQ(integerToText(c.value, c.radix), c.text) << c.text;
}

}  // namespace
}  // namespace vexil::script::test
