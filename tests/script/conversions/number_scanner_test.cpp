// The number scanner and the text-to-number rule, as tables of text to result.
#include <gtest/gtest.h>

#include <string>

#include "script/runtime/conversions.h"
#include "script/runtime/number_scanner.h"
#include "tests/script/conversions/value_description.h"

namespace vexil::script::test {
namespace {

struct ScanCase {
  std::u16string text;
  int32_t radix;
  std::string expected;  // "Nothing", "Integer n" or "Real x", then "@end"
};

std::string describeScan(const NumberScan& scan) {
  switch (scan.code) {
    case ScanCode::Nothing: return "Nothing @" + std::to_string(scan.end);
    case ScanCode::Integer: return "Integer " + std::to_string(scan.integer) + " @" + std::to_string(scan.end);
    case ScanCode::Real: return "Real " + shortestReal(scan.real) + " @" + std::to_string(scan.end);
  }
  return "?";
}

TEST(ScanNumber, RadixPrefixesSignsAndSpace) {
  const ScanCase cases[] = {
      {u"", 0, "Nothing @0"},
      {u"   ", 0, "Nothing @0"},
      {u"12abc", 0, "Integer 12 @2"},
      {u"010", 0, "Integer 8 @3"},
      {u"08", 0, "Integer 0 @1"},
      {u"0", 0, "Integer 0 @1"},
      {u"0x1A", 0, "Integer 26 @4"},
      {u"0X1f", 16, "Integer 31 @4"},
      {u"0x1f", 10, "Integer 0 @1"},
      {u"0x", 0, "Nothing @0"},
      {u"0xg", 16, "Nothing @0"},
      {u"-  7", 0, "Integer -7 @4"},
      {u"+42", 0, "Integer 42 @3"},
      {u" \t\r\n-0x10", 0, "Integer -16 @9"},
      {u"\u3000\u00A042", 0, "Integer 42 @4"},
      {u"--5", 0, "Nothing @0"},
      {u"- -5", 0, "Nothing @0"},
      {u"777", 8, "Integer 511 @3"},
      {u"0777", 8, "Integer 511 @4"},
      {u"019", 10, "Integer 19 @3"},
      {u"101", 2, "Integer 5 @3"},
      {u"z", 36, "Integer 35 @1"},
      {u"Z9", 36, "Integer 1269 @2"},
      {u"zz", 100, "Integer 3535 @2"},
      {u"0", 1, "Integer 0 @1"},
      {u"12", 1, "Nothing @0"},
      {u"123", -5, "Nothing @0"},
      {u"1.5", 0, "Integer 1 @1"},
      {std::u16string(u"12\0" u"34", 5), 0, "Integer 12 @2"},
  };
  for (const ScanCase& c : cases) {
    EXPECT_EQ(describeScan(scanNumber(c.text, c.radix)), c.expected) << platform::utf16ToUtf8(c.text);
  }
}

// Past 2^63 - 1 the scanner answers a real: decimal digits read as a decimal real, power-of-two
// radices rounded exactly from their bits, other radices from the running double.
TEST(ScanNumber, OverflowToReal) {
  const ScanCase cases[] = {
      {u"9223372036854775807", 0, "Integer 9223372036854775807 @19"},
      {u"-9223372036854775807", 0, "Integer -9223372036854775807 @20"},
      {u"9223372036854775808", 0, "Real 9223372036854775808 @19"},
      {u"-9223372036854775808", 0, "Real -9223372036854775808 @20"},
      {u"99999999999999999999", 0, "Real 1e+20 @20"},
      {u"19000000000000000000", 0, "Real 1.9e+19 @20"},
      {u"123456789012345678901234567890", 10, "Real 1.2345678901234568e+29 @30"},
      {u"0x7FFFFFFFFFFFFFFF", 0, "Integer 9223372036854775807 @18"},
      {u"0x8000000000000000", 0, "Real 9223372036854775808 @18"},
      {u"0xFFFFFFFFFFFFFFFFF", 0, "Real 295147905179352825856 @19"},
      {u"0x10000000000000800", 0, "Real 18446744073709551616 @19"},  // a tie rounds to even: down
      {u"0x10000000000001800", 0, "Real 18446744073709559808 @19"},  // a tie rounds to even: up
      {u"0x10000000000000801", 0, "Real 18446744073709555712 @19"},  // past the tie: up
      {u"-0x10000000000000801", 0, "Real -18446744073709555712 @20"},
      {u"1000000000000000000000000000000000000000000000000000000000000000000", 2,
       "Real 73786976294838206464 @67"},
      {u"10000000000000000000000000000000000000000", 3, "Real 12157665459056928768 @41"},
  };
  for (const ScanCase& c : cases) {
    EXPECT_EQ(describeScan(scanNumber(c.text, c.radix)), c.expected) << platform::utf16ToUtf8(c.text);
  }
}

TEST(ScanNumber, MegabyteTextsOverflowToInfinity) {
  std::u16string decimal(1 << 20, u'7');
  EXPECT_EQ(describeScan(scanNumber(decimal, 0)), "Real inf @1048576");
  std::u16string hex = u"-0x" + std::u16string(1 << 20, u'f');
  EXPECT_EQ(describeScan(scanNumber(hex, 0)), "Real -inf @1048579");
  std::u16string other(1 << 20, u'5');
  EXPECT_EQ(describeScan(scanNumber(other, 7)), "Real inf @1048576");
}

struct TextCase {
  std::u16string text;
  std::string expected;
};

TEST(TextToNumber, IntegersStandUnlessAFractionOrExponentFollows) {
  const TextCase cases[] = {
      {u"", "Integer 0"},
      {u"   ", "NaN"},
      {u"abc", "NaN"},
      {u"0x1A", "Integer 26"},
      {u"010", "Integer 8"},
      {u"08", "Integer 0"},
      {u"1e3", "Real 1000"},
      {u"1E3", "Real 1000"},
      {u"1d3", "Real 1000"},
      {u"1D-2", "Real 0.01"},
      {u"1e", "Real 1"},
      {u"1e+", "Real 1"},
      {u"-  7", "Integer -7"},
      {u"12abc", "Integer 12"},
      {u"-0", "Integer 0"},
      {u"99999999999999999999", "Real 1e+20"},
      {u".5", "Real 0.5"},
      {u"-.5", "Real -0.5"},
      {u" .5e1", "Real 5"},
      {u"5.", "Real 5"},
      {u"1.5", "Real 1.5"},
      {u"-0.0", "Real -0"},
      {u"010.5", "Real 10.5"},
      {u"0x", "Real 0"},
      {u"0.1", "Real 0.1"},
      {u"1e400", "Real inf"},
      {u"-1e400", "Real -inf"},
      {u"1e-400", "Real 0"},
      {u"1e99999999999999999999", "Real inf"},
      {u"4.9e-324", "Real 5e-324"},
      {u"2.2250738585072014e-308", "Real 2.2250738585072014e-308"},
      {u"1.7976931348623157e308", "Real 1.7976931348623157e+308"},
      {u"1.7976931348623159e308", "Real inf"},
      {u"0.000000000000000000000000000000000000000001e42", "Real 1"},
      {u"Infinity", "NaN"},
      {u"inf", "NaN"},
      {u"nan", "NaN"},
      {u"0x1p3", "Integer 1"},
      {std::u16string(u"\0", 1), "NaN"},
      {std::u16string(u"7\0" u"e3", 4), "Integer 7"},
      {u"\xD800" u"1", "NaN"},
      {u"1\xDC00", "Integer 1"},
  };
  for (const TextCase& c : cases) {
    EXPECT_EQ(describe(textToNumber(c.text)), c.expected) << platform::utf16ToUtf8(c.text);
  }
}

TEST(TextToNumber, MegabyteDecimalTexts) {
  std::u16string fraction = u"0." + std::u16string(1 << 20, u'3');
  EXPECT_EQ(describe(textToNumber(fraction)), "Real 0.3333333333333333");
  std::u16string zeros = u"." + std::u16string(1 << 20, u'0') + u"1e1048577";
  EXPECT_EQ(describe(textToNumber(zeros)), "Real 1");
}

}  // namespace
}  // namespace vexil::script::test
