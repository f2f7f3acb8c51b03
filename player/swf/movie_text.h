#pragma once
// Strings inside movies are UTF-8 from version 6 on and ANSI before; the model keeps UTF-8.
#include <cstdint>
#include <string>
#include <string_view>

namespace vexil::swf {

inline constexpr uint8_t kFirstUtf8Version = 6;

std::string movieTextToUtf8(std::string_view raw, uint8_t version);
std::string utf8ToMovieText(std::string_view text, uint8_t version);


}  // namespace vexil::swf
