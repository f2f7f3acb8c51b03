#pragma once
// The one string hash of the script system: keyword table, constant pool, atom table, property
// name index and compiled-script cache all use it.
#include <cstdint>
#include <string_view>

namespace vexil::script {

inline uint32_t stringHash(std::string_view bytes) {
  uint32_t h = 0;
  for (unsigned char b : bytes) h = (h >> 7) ^ (h >> 16) ^ b ^ (h << 5);
  return h;
}

}  // namespace vexil::script
