#pragma once
// Percent-encoding of UTF-16 text as UTF-8 escapes, and back: the work of encodeURI,
// encodeURIComponent, decodeURI and decodeURIComponent, apart from the engine.
#include <optional>
#include <string>
#include <string_view>

namespace vexil::script {

// Units every encoder copies unchanged.
inline constexpr std::u16string_view kUriUnreserved =
    u"0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz-_.!~*'()";
// Units encodeURI also copies, and decodeURI leaves as escapes.
inline constexpr std::u16string_view kUriReserved = u";/?:@&=+$,#";

inline constexpr char kInvalidUriString[] = "Invalid URI string";

// Units outside `unescaped` become "%XX" escapes of their UTF-8 bytes; none when a surrogate is
// unpaired.
std::optional<std::u16string> encodeUri(std::u16string_view text, std::u16string_view unescaped);
// Escapes become units again, except those that decode to a unit of `keepEscaped`; none when an
// escape is malformed or its bytes are not UTF-8 for a code point up to 0x10FFFF.
std::optional<std::u16string> decodeUri(std::u16string_view text, std::u16string_view keepEscaped);

}  // namespace vexil::script
