// Any bytes as a saver with an appended archive: a listing with the first damage named, never a
// crash, never an entry outside the archive.
#include <cstdint>

#include "tools/vxpack/project/archive_contents.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vexil::project::listArchive({data, size});
  return 0;
}
