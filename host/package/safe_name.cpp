#include "host/package/safe_name.h"

namespace vexil::package {

static bool isSafeComponent(std::string_view part) {
  // Windows drops trailing dots and spaces, so "..." or ". ." would act as "." or "..".
  if (part.find_first_not_of(". ") == std::string_view::npos) return false;
  for (unsigned char c : part) {
    if (c < 0x20 || c == ':') return false;
  }
  return true;
}

bool isSafeRelativeName(std::string_view name) {
  if (name.empty()) return false;
  size_t start = 0;
  for (;;) {
    size_t cut = name.find_first_of("\\/", start);
    if (!isSafeComponent(name.substr(start, cut - start))) return false;
    if (cut == std::string_view::npos) return true;
    start = cut + 1;
  }
}

bool isSafeFileName(std::string_view name) {
  return name.find_first_of("\\/") == std::string_view::npos && isSafeRelativeName(name);
}

}  // namespace vexil::package
