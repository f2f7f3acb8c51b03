// Any bytes as a zlib stream: null, or at most the limit of bytes that compress back to themselves.
#include <cstdint>
#include <cstdlib>

#include "objects/streams/stream_compression.h"

namespace {
// Small enough that every input runs fast; the bomb check is the same at any limit.
constexpr size_t kFuzzLimit = size_t(1) << 20;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vexil::objects;
  auto bytes = uncompressBytes({data, size}, kFuzzLimit);
  if (!bytes) return 0;
  if (bytes->size() > kFuzzLimit) std::abort();
  auto again = compressBytes(*bytes, 1);
  if (!again || uncompressBytes(*again, kFuzzLimit) != bytes) std::abort();
  return 0;
}
