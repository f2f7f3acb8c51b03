// Fuzzes the number scanner, the decimal real reader and the text-to-number rule. Byte 0 picks
// the radix and the text form; the rest is the text. Beside crashes and sanitizer reports it
// checks the readers' promises: end positions inside the text, and decimal reals equal to the C
// library's correctly rounded reading of the same ASCII text.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz/conversions/fuzz_text.h"
#include "script/runtime/conversions.h"
#include "script/runtime/number_scanner.h"

namespace {

using namespace vexil::script;

constexpr int32_t kRadices[] = {0, 10, 16, 8, 2, 36, 3, 1, -1, 37, 64, INT32_MIN, INT32_MAX, 32, 7, 4};

void check(bool condition) {
  if (!condition) std::abort();
}

// The consumed text, read by strtod; only for ASCII with an 'e' exponent (strtod knows no 'd').
void compareWithStrtod(std::u16string_view text, const RealScan& real) {
  std::string ascii;
  for (char16_t unit : text.substr(0, real.end)) {
    if (unit == 0 || unit > 0x7F || unit == u'd' || unit == u'D') return;
    ascii.push_back(char(unit));
  }
  char* end = nullptr;
  double expected = std::strtod(ascii.c_str(), &end);
  check(end == ascii.c_str() + ascii.size());
  check(expected == real.value || (expected != expected && real.value != real.value));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  int32_t radix = kRadices[data[0] & 15];
  std::u16string text = fuzz::fuzzText(data + 1, size - 1, data[0] & 16);

  NumberScan scan = scanNumber(text, radix);
  check(scan.end <= text.size());
  check(scan.code != ScanCode::Nothing || scan.end == 0);

  RealScan real = scanDecimalReal(text);
  check(real.end <= text.size());
  if (real.end > 0 && text.size() < 4096) compareWithStrtod(text, real);

  Value number = textToNumber(text);
  check(number.tag == Tag::Integer || number.tag == Tag::Real || number.tag == Tag::NaN);
  return 0;
}
