// Fuzzes Number.format's pattern reader and formatter. Byte 0 picks the number kind and the text
// form, bytes 1-8 are the number's bits, the rest is the pattern. Every accepted text must stay
// within the limit.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "fuzz/conversions/fuzz_text.h"
#include "script/builtins/number_format.h"

using namespace vexil::script;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 9) return 0;
  uint64_t bits;
  std::memcpy(&bits, data + 1, 8);
  Value number;
  switch (data[0] & 3) {
    case 0: number.setInteger(int64_t(bits)); break;
    case 1: {
      double d;
      std::memcpy(&d, &bits, 8);
      number.setReal(d);
      break;
    }
    case 2: number.setNaN(); break;
    default: number.setInteger(int64_t(bits & 0xFFFF) - 0x8000); break;
  }
  std::u16string pattern = fuzz::fuzzText(data + 9, size - 9, data[0] & 4);
  auto text = formatNumber(pattern, number);
  if (text && text->size() > kFormatLimit) std::abort();
  return 0;
}
