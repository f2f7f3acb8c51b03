#include "script/runtime/number_text.h"

#include <charconv>
#include <cmath>

namespace vexil::script {

std::string integerToText(int64_t value, int32_t radix) {
  char buffer[72];  // 64 binary digits and a sign
  std::to_chars_result r;
  if (radix < 2 || radix > 36) radix = 10;
  if (radix == 10) r = std::to_chars(buffer, buffer + sizeof buffer, value);
  else r = std::to_chars(buffer, buffer + sizeof buffer, uint64_t(value), radix);
  return std::string(buffer, r.ptr);
}

const char* nonFiniteText(double value) {
  if (std::isnan(value)) return kNaNText;
  if (std::isinf(value)) return value > 0 ? kInfinityText : kNegativeInfinityText;
  return nullptr;
}

std::string realToText(double value) {
  if (const char* fixed = nonFiniteText(value)) return fixed;
  char buffer[32];  // "-1.23457e-308" at most
  auto r = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6);
  return std::string(buffer, r.ptr);
}

}  // namespace vexil::script
