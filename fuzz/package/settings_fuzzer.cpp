// Any bytes as a settings record; a record that loads must store and load again to the same bytes.
#include <cstdint>
#include <cstdlib>

#include "fuzz_temp_dir.h"
#include "host/package/package_settings.h"

using namespace vexil::package;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string dir = fuzzing::fuzzTempDir().fresh();
  PackageSettings settings;
  if (!loadSettings(settings, {data, size}, dir)) return 0;
  auto stored = storeSettings(settings);
  PackageSettings again;
  if (!loadSettings(again, stored, dir)) std::abort();
  if (storeSettings(again) != stored) std::abort();
  return 0;
}
