#include "host/shell/environment_names.h"

namespace vexil::shell {

std::vector<std::u16string> environmentNames(std::u16string_view block) {
  std::vector<std::u16string> names;
  size_t start = 0;
  while (start < block.size() && block[start] != u'\0') {
    size_t end = block.find(u'\0', start);
    if (end == std::u16string_view::npos) end = block.size();
    std::u16string_view entry = block.substr(start, end - start);
    names.emplace_back(entry.substr(0, entry.find(u'=', 1)));
    start = end + 1;
  }
  return names;
}

}  // namespace vexil::shell
