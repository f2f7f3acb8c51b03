#pragma once
// Base64 as message bodies carry it: written in lines of a fixed width, and read leniently, since
// any character outside the alphabet in a body is noise a decoder skips. The coding itself is the
// shared base64 coder's.
#include <string>
#include <string_view>

namespace vexil::net::mime {

// The bytes in base64, each line of at most lineWidth characters ended by CR LF; empty input gives
// an empty text.
std::string encodeBase64Lines(std::string_view bytes, size_t lineWidth);

// Characters outside the alphabet are skipped, reading stops at the first "=", and a lone digit
// left over after the last full group is dropped.
std::string decodeBase64Body(std::string_view text);

}  // namespace vexil::net::mime
