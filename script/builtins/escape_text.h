#pragma once
// The texts of escape and unescape. escape keeps the ASCII letters, digits and "@*_+-./", writes
// other units below 256 as "%XX" and the rest as "%uXXXX" (upper-case hex); unescape turns both
// forms back (hex digits of either case) and copies every other unit, lone "%" included.
#include <string>
#include <string_view>

namespace vexil::script {

std::u16string escapeText(std::u16string_view text);
std::u16string unescapeText(std::u16string_view text);

}  // namespace vexil::script
