#pragma once
// Base64 with the standard alphabet and "=" fill, the form cipher texts travel in as script
// strings. The encoder writes one line (no breaks); the decoder is strict about what it accepts,
// because its input is whatever a script hands over.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vexil::objects {

std::string encodeBase64(std::string_view bytes);

// The bytes of a base64 text. Line breaks and spaces between groups are skipped (other encoders
// wrap at 76 columns) and the "=" fill may be left off; nothing: a character outside the alphabet,
// fill anywhere but at the end, or a lone character left over after the last full group.
std::optional<std::string> decodeBase64(std::string_view text);

}  // namespace vexil::objects
