// Fuzzes the URI decoders and encoders on raw UTF-16 text. A decoded text that encodes (units
// other than escapes pass through, unpaired surrogates included) must decode back to itself, and an
// encoded text is plain ASCII.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz/conversions/fuzz_text.h"
#include "script/builtins/uri_codec.h"

using namespace vexil::script;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  std::u16string text = fuzz::fuzzText(data + 1, size - 1, data[0] & 1);
  std::u16string_view keep = data[0] & 2 ? kUriReserved : std::u16string_view();
  if (auto decoded = decodeUri(text, keep)) {
    if (!(data[0] & 2)) {
      if (auto again = encodeUri(*decoded, kUriUnreserved)) {
        auto back = decodeUri(*again, u"");
        if (!back || *back != *decoded) std::abort();
      }
    }
  }
  if (auto encoded = encodeUri(text, data[0] & 4 ? kUriUnreserved : kUriReserved)) {
    for (char16_t u : *encoded) {
      if (u >= 0x80) std::abort();  // an encoded text is plain ASCII
    }
  }
  return 0;
}
