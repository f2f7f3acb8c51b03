#pragma once
// The names in an environment block: entries "NAME=value", each ended by a zero, the block by an
// empty entry. The per-drive entries the system keeps begin with "=" ("=C:=C:\dir"); their name
// runs to the second "=".
#include <string>
#include <string_view>
#include <vector>

namespace vexil::shell {

// The names, in block order. A block without its final empty entry ends at its last unit.
std::vector<std::u16string> environmentNames(std::u16string_view block);

}  // namespace vexil::shell
