// Any bytes as a package blob: a clean failure or the decoded bytes, never more than declared.
#include <cstdint>
#include <cstdlib>

#include "host/package/package_blob.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto result = vexil::package::decodeBlob({data, size});
  if (auto* bytes = std::get_if<std::vector<uint8_t>>(&result)) {
    uint32_t declared = size >= 8 ? uint32_t(data[4] | data[5] << 8 | data[6] << 16) | uint32_t(data[7]) << 24 : 0;
    if (bytes->size() > declared) std::abort();
  }
  return 0;
}
