// Any bytes as base64 cipher text: bytes or refusal, never a crash; what decodes re-encodes to the
// same digits (spaces, line breaks and fill aside), and what is encoded decodes back.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "objects/encryption/base64_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vexil::objects;
  std::string_view text(reinterpret_cast<const char*>(data), size);
  if (std::optional<std::string> bytes = decodeBase64(text)) {
    std::optional<std::string> again = decodeBase64(encodeBase64(*bytes));
    if (!again || *again != *bytes) std::abort();
  }
  if (decodeBase64(encodeBase64(text)) != std::string(text)) std::abort();
  return 0;
}
