// Any bytes as a prepared menu: refused or read, and what is read writes back to the same entries.
#include <cstdint>
#include <cstdlib>

#include "host/hostobjects/menu_resource.h"

using namespace vexil::hostobjects;

namespace {

bool same(const std::vector<MenuEntry>& a, const std::vector<MenuEntry>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i].flags != b[i].flags || a[i].command != b[i].command || a[i].caption != b[i].caption ||
        a[i].icon != b[i].icon || !same(a[i].items, b[i].items))
      return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto entries = readMenuResource({data, size});
  if (!entries) return 0;
  auto again = readMenuResource(writeMenuResource(*entries));
  if (!again || !same(*entries, *again)) std::abort();
  for (const MenuEntry& entry : *entries) captionAccelerator(entry.caption);
  return 0;
}
