#pragma once
// A shortcut's icon as text: the icon file's path, a comma, and the icon's index in decimal. Paths
// may hold commas themselves, so the index is what follows the last comma, and only when that is
// a number; otherwise the whole text is the path and the index is 0.
#include <string>
#include <string_view>

namespace vexil::shell {

struct IconLocation {
  std::u16string path;
  int index = 0;
};

IconLocation parseIconLocation(std::u16string_view text);
std::u16string iconLocationText(std::u16string_view path, int index);

}  // namespace vexil::shell
