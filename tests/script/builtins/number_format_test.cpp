// Number.format patterns: what they write, and which ones are refused.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "platform/text_encoding.h"
#include "script/builtins/number_format.h"

namespace vexil::script::test {
namespace {

std::string format(const std::u16string& pattern, const Value& number) {
  auto text = formatNumber(pattern, number);
  return text ? platform::utf16ToUtf8(*text) : "<refused>";
}

struct FormatCase {
  std::u16string pattern;
  Value number;
  std::string expected;
};

TEST(NumberFormat, Integers) {
  const int64_t min = std::numeric_limits<int64_t>::min();
  const FormatCase cases[] = {
      {u"%05I64d", Value::fromInteger(12), "00012"},
      {u"%05lld", Value::fromInteger(-12), "-0012"},
      {u"%d", Value::fromInteger(1234567890123), "1234567890123"},
      {u"%i", Value::fromInteger(min), "-9223372036854775808"},
      {u"%ld items", Value::fromInteger(3), "3 items"},
      {u"[%5d]", Value::fromInteger(42), "[   42]"},
      {u"[%-5d]", Value::fromInteger(42), "[42   ]"},
      {u"[%+d]", Value::fromInteger(42), "[+42]"},
      {u"[% d]", Value::fromInteger(42), "[ 42]"},
      {u"%.3d", Value::fromInteger(7), "007"},
      {u"%06.3d", Value::fromInteger(7), "   007"},
      {u"%.0d", Value::fromInteger(0), ""},
      {u"%x", Value::fromInteger(255), "ff"},
      {u"%#X", Value::fromInteger(255), "0XFF"},
      {u"%#x", Value::fromInteger(0), "0"},
      {u"%#010x", Value::fromInteger(255), "0x000000ff"},
      {u"%x", Value::fromInteger(-1), "ffffffffffffffff"},
      {u"%u", Value::fromInteger(-1), "18446744073709551615"},
      {u"%o", Value::fromInteger(8), "10"},
      {u"%#o", Value::fromInteger(8), "010"},
      {u"100%% of %d", Value::fromInteger(5), "100% of 5"},
      {u"\u4E2D%d\u6587", Value::fromInteger(1), "\u4E2D1\u6587"},
  };
  for (const FormatCase& c : cases) EXPECT_EQ(format(c.pattern, c.number), c.expected) << platform::utf16ToUtf8(c.pattern);
}

TEST(NumberFormat, Reals) {
  const double inf = std::numeric_limits<double>::infinity();
  const FormatCase cases[] = {
      {u"%.2f", Value::fromReal(3.14159), "3.14"},
      {u"%f", Value::fromReal(1.5), "1.500000"},
      {u"%8.3f|", Value::fromReal(-1.5), "  -1.500|"},
      {u"%-8.1f|", Value::fromReal(2.25), "2.2     |"},
      {u"%08.2f", Value::fromReal(-3.5), "-0003.50"},
      {u"%+.1f", Value::fromReal(2.0), "+2.0"},
      {u"%.0f", Value::fromReal(2.5), "2"},
      {u"%#.0f", Value::fromReal(3.0), "3."},
      {u"%e", Value::fromReal(12345.678), "1.234568e+04"},
      {u"%.2E", Value::fromReal(0.000123), "1.23E-04"},
      {u"%g", Value::fromReal(1234567.0), "1.23457e+06"},
      {u"%g", Value::fromReal(0.0001), "0.0001"},
      {u"%G", Value::fromReal(1e-10), "1E-10"},
      {u"%.3g", Value::fromReal(3.14159), "3.14"},
      {u"%#g", Value::fromReal(1.0), "1.00000"},
      {u"%.0g", Value::fromReal(25.0), "2e+01"},  // exact ties round to even
      {u"%Lf", Value::fromReal(1.0), "1.000000"},
      {u"%lf", Value::fromReal(-0.0), "-0.000000"},
      {u"%f", Value::fromReal(inf), "Infinity"},
      {u"%010f", Value::fromReal(-inf), " -Infinity"},
      {u"%+e", Value::fromReal(inf), "+Infinity"},
      {u"%f", Value::fromReal(std::nan("")), "NaN"},
      {u"anything %s", Value::nan(), "NaN"},
  };
  for (const FormatCase& c : cases) EXPECT_EQ(format(c.pattern, c.number), c.expected) << platform::utf16ToUtf8(c.pattern);
}

// Patterns that would read the wrong type, a second argument, or write past the limit.
TEST(NumberFormat, RefusedPatterns) {
  const FormatCase cases[] = {
      {u"%s", Value::fromInteger(1), "<refused>"},
      {u"%n", Value::fromInteger(1), "<refused>"},
      {u"%p", Value::fromInteger(1), "<refused>"},
      {u"%c", Value::fromInteger(65), "<refused>"},
      {u"%f", Value::fromInteger(1), "<refused>"},
      {u"%d", Value::fromReal(1.0), "<refused>"},
      {u"%d %d", Value::fromInteger(1), "<refused>"},
      {u"%*d", Value::fromInteger(1), "<refused>"},
      {u"%.*f", Value::fromReal(1.0), "<refused>"},
      {u"%hd", Value::fromInteger(1), "<refused>"},
      {u"%Ld", Value::fromInteger(1), "<refused>"},
      {u"%lld", Value::fromReal(1.0), "<refused>"},
      {u"no conversion", Value::fromInteger(1), "<refused>"},
      {u"", Value::fromInteger(1), "<refused>"},
      {u"%", Value::fromInteger(1), "<refused>"},
      {u"%5", Value::fromInteger(1), "<refused>"},
      {u"%\u0164", Value::fromInteger(1), "<refused>"},
      {u"%256d", Value::fromInteger(1), "<refused>"},
      {u"%.256f", Value::fromReal(1.0), "<refused>"},
      {u"%255d", Value::fromInteger(1), std::string(254, ' ') + "1"},
      {u"x%255d", Value::fromInteger(1), "<refused>"},
      {u"%.255f", Value::fromReal(1e300), "<refused>"},
      {u"%f", Value::fromReal(1e300), "<refused>"},
      {std::u16string(300, u'a') + u"%d", Value::fromInteger(1), "<refused>"},
      {u"%d", Value::fromBoolean(true), "<refused>"},
  };
  for (const FormatCase& c : cases) EXPECT_EQ(format(c.pattern, c.number), c.expected) << platform::utf16ToUtf8(c.pattern);
}

}  // namespace
}  // namespace vexil::script::test
