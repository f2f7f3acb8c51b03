#pragma once
// Header fields of a message or a body part: where the header block ends, a field's unfolded
// value, the parameters inside it, and the rule that keeps script text from breaking out of a
// field. Lines may end in CR LF or a lone LF (messages saved by Unix tools use the latter).
#include <optional>
#include <string>
#include <string_view>

namespace vexil::net::mime {

struct EntityLayout {
  size_t headerEnd = 0;  // the header block is [0, headerEnd), its last line break included
  size_t bodyStart = 0;  // after the empty line; the entity's length when there is none
};

// The header block ends at the first empty line, or before the first line that is not a field
// (the body then starts with that line). An entity of header lines alone has an empty body.
EntityLayout splitEntity(std::string_view entity);

// The value of the first field of that name (caseless, at a line start, blanks allowed before the
// colon), its continuation lines joined, TABs made spaces and the ends trimmed; nothing when absent.
std::optional<std::string> findHeaderField(std::string_view block, std::string_view name);

// The block without any field of that name (its continuation lines included); the rest unchanged.
std::string withoutField(std::string_view block, std::string_view name);

// "text/plain; charset=x" -> "text/plain", lower case.
std::string mediaTypeOf(std::string_view value);

// The parameter's value (quotes and escapes removed); RFC 2231 forms (name*, name*0, name*1*...)
// are joined and their %XX bytes decoded, the charset label dropped. Empty when absent.
std::string headerParameter(std::string_view value, std::string_view name);

// A script's text as one header line: each run of CR and LF becomes a single space, so no text
// can end the field early or add a field of its own.
std::string singleLine(std::string_view text);

}  // namespace vexil::net::mime
