#pragma once
// A fresh temporary directory for one test, removed with everything in it.
#include <string>

#include "host/package/temp_directory.h"

namespace vexil::package::testing {

struct ScratchDir {
  std::string path = createTempDirectory().value_or("");
  ScratchDir() = default;
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  ~ScratchDir() {
    if (!path.empty()) deleteTempDirectory(path);
  }
};

inline std::vector<uint8_t> bytesOf(std::string_view text) { return {text.begin(), text.end()}; }

}  // namespace vexil::package::testing
