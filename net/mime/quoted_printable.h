#pragma once
// Quoted-printable, the transfer encoding of composed text bodies. The encoder writes canonical
// text: every line break (CR LF, a lone LF or a lone CR) becomes CR LF, blanks that would end a
// line are encoded so no mail relay can strip them, and lines stay under the 76-column limit with
// "=" CR LF soft breaks. The decoder undoes any encoder's output, soft breaks included.
#include <string>
#include <string_view>

namespace vexil::net::mime {

std::string encodeQuotedPrintable(std::string_view bytes);

// Soft breaks ("=" before CR LF or a lone LF, blanks allowed between) are removed, "=" and two hex
// digits of either case become that byte, and any other "=" stays as it is.
std::string decodeQuotedPrintable(std::string_view text);

}  // namespace vexil::net::mime
