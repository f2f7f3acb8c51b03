#pragma once
// Encoded words: header text outside ASCII travels as "=?charset?B?...?=" or "=?charset?Q?...?=".
// Composed fields are UTF-8 (the script's text, whatever the machine's code page), so the label
// always matches the bytes.
#include <string>
#include <string_view>

namespace vexil::net::mime {

// Every encoded word becomes its bytes, converted to UTF-8 when its charset is UTF-8, US-ASCII or
// ISO-8859-1 (the rest keep their own bytes); blanks between two adjacent encoded words vanish, and
// malformed words stay as they are.
std::string decodeEncodedWords(std::string_view value);

// Printable ASCII comes back unchanged. Anything else becomes base64 encoded words of UTF-8, each
// at most 75 characters and never splitting a character, joined by CR LF and a space (folded
// lines); `lead` is the length of the "Name: " before the value on its first line.
std::string encodeHeaderText(std::string_view utf8, size_t lead);

}  // namespace vexil::net::mime
