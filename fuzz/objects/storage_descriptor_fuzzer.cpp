// Any bytes as a storage device descriptor from a driver: identity texts or refusal, never a read
// outside the block; every text found lies inside it and carries no terminator or edge padding.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "objects/sysinfo/storage_descriptor.h"

namespace {

void check(const std::optional<std::string>& text, size_t size) {
  if (!text) return;
  if (text->empty() || text->size() > size || text->find('\0') != std::string::npos) std::abort();
  if (text->front() == ' ' || text->back() == ' ') std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::optional<vexil::objects::StorageIdentity> id = vexil::objects::parseStorageDescriptor({data, size});
  if (!id) return 0;
  if (size < 36) std::abort();
  check(id->vendor, size);
  check(id->product, size);
  check(id->revision, size);
  check(id->serialNumber, size);
  return 0;
}
