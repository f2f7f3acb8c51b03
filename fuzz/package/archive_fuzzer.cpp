// Any bytes as an executable with an appended archive. The first byte picks the name asked for;
// whatever comes out must lie inside the temporary directory's "_extra" folder.
#include <cstdint>
#include <cstdlib>

#include "fuzz_temp_dir.h"
#include "host/package/additional_files.h"
#include "platform/file_system.h"

using namespace vexil::package;
namespace platform = vexil::platform;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const char* kNames[] = {"a.txt", "Data", "Data\\Deep\\x.txt", "data/big.bin", "..\\a.txt", "pack"};
  if (size < 1) return 0;
  std::string dir = fuzzing::fuzzTempDir().fresh();
  std::string exe = dir + "saver.scr";
  if (!platform::writeWholeFile(exe, data + 1, size - 1)) return 0;
  std::string temp = dir + "t\\";
  platform::createDirectory(temp);
  std::string path = getAdditionalFile(exe, temp, kNames[data[0] % 6]);
  if (!path.empty() && path.compare(0, temp.size() + 7, temp + "_extra\\") != 0 &&
      path.compare(0, dir.size(), dir) != 0) {
    std::abort();
  }
  return 0;
}
