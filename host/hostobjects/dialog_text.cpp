#include "host/hostobjects/dialog_text.h"

namespace vexil::hostobjects {

std::u16string dialogFilter(std::u16string_view text) {
  std::vector<std::u16string_view> parts;
  while (!text.empty()) {
    size_t bar = text.find(u'|');
    parts.push_back(text.substr(0, bar));
    if (bar == std::u16string_view::npos) break;
    text.remove_prefix(bar + 1);
  }
  if (parts.size() % 2) parts.pop_back();
  std::u16string list;
  for (std::u16string_view part : parts) {
    // A NUL inside a part would end the list early: it ends the part instead.
    list.append(part.substr(0, part.find(u'\0')));
    list.push_back(u'\0');
  }
  list.push_back(u'\0');
  if (list.size() == 1) list.push_back(u'\0');
  return list;
}

uint32_t swapRedBlue(uint32_t colour) {
  colour &= 0xFFFFFF;
  return ((colour & 0xFF) << 16) | (colour & 0xFF00) | (colour >> 16);
}

std::vector<std::u16string> splitMultiSelect(std::u16string_view buffer) {
  std::vector<std::u16string> texts;
  while (!buffer.empty() && buffer.front() != u'\0') {
    size_t end = buffer.find(u'\0');
    texts.emplace_back(buffer.substr(0, end));
    if (end == std::u16string_view::npos) break;
    buffer.remove_prefix(end + 1);
  }
  return texts;
}

}  // namespace vexil::hostobjects
