// Any bytes as a runtime stub: reading its resources fails cleanly or gives a table; writing a
// package into it fails cleanly or gives an image whose resources read back as written.
#include <cstdint>
#include <cstdlib>

#include "tools/vxpack/pe/pe_resources.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vexil::pe;
  std::span<const uint8_t> image(data, size);
  ResourceTable table;
  try {
    table = readResources(image);
  } catch (const PeError&) {
    table.clear();
  }
  table[ResourceKey{ResourceId::of("LUMARC"), ResourceId::of("ID"), 0}] = ResourceData{{1, 2, 3}, 0};
  try {
    auto written = writeResources(image, table);
    if (readResources(written) != table) std::abort();
  } catch (const PeError&) {
  }
  return 0;
}
