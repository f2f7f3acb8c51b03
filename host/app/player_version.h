#pragma once
// Whether installed components are new enough, from the two words of a file version
// (most significant: major << 16 | minor; least significant: build << 16 | revision).
#include <cstdint>

namespace vexil::app {

struct FileVersion {
  uint32_t mostSignificant = 0;
  uint32_t leastSignificant = 0;
};

// The registered Flash Player is used from 7.0.32.0 on.
bool isGoodPlayerVersion(FileVersion version);
// OLEAUT32.DLL from 2.20 on.
bool isGoodOleAutVersion(FileVersion version);

}  // namespace vexil::app
