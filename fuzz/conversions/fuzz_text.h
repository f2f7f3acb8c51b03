#pragma once
// Fuzz input as script text: either raw UTF-16 units (pairs of bytes, so unpaired surrogates and
// NUL units come up) or bytes widened one to one, which reaches digits and signs far sooner.
#include <cstddef>
#include <cstdint>
#include <string>

namespace vexil::script::fuzz {

inline std::u16string fuzzText(const uint8_t* data, size_t size, bool rawUnits) {
  std::u16string text;
  if (rawUnits) {
    for (size_t i = 0; i + 1 < size; i += 2) text.push_back(char16_t(data[i] | data[i + 1] << 8));
  } else {
    text.assign(data, data + size);
  }
  return text;
}

}  // namespace vexil::script::fuzz
