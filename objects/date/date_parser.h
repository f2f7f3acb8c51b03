#pragma once
// The date-text parser: the loose, left-to-right reading of texts such as "Dec 25, 1995 13:30:00
// GMT+0100", "12/25/95" or what Date's own toString writes.
#include <optional>
#include <string_view>

namespace vexil::objects {

// The time value of the text, or nothing when it does not parse. localOffset (milliseconds,
// positive west of UTC) is added when the text names no zone. Units above 127 separate words.
std::optional<double> parseDateText(std::u16string_view text, double localOffset);

}  // namespace vexil::objects
