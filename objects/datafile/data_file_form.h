#pragma once
// The rules of DataFile's entries: the type names, how values are written so that they read back
// unchanged, how section names address a variable's parts. Each saved value is one section with a
// "type" key and a "value" key; an Array's element i and an Object's property P follow as sections
// named "<section>.<i>" and "<section>.<P>".
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vexil::objects::datafile {

enum class SavedType { Boolean, Integer, String, Float, Array, Object };

std::u16string_view savedTypeName(SavedType type);
// The type a name stands for, in any case; none for names DataFile never writes.
std::optional<SavedType> savedTypeOf(std::u16string_view name);

inline constexpr std::u16string_view kTypeKey = u"type";
inline constexpr std::u16string_view kValueKey = u"value";
// Present, with the one value "escaped", when the value holds backslash escapes (below).
inline constexpr std::u16string_view kEncodingKey = u"encoding";
inline constexpr std::u16string_view kEscapedEncoding = u"escaped";

// A value that would not survive a profile line as it is (line breaks and other control
// characters, blanks at either end that readers trim, a leading quote that the system's reader
// strips, backslashes once escaping is on) is written escaped: "\\" for a backslash and "\uXXXX"
// for each such character. Plain values are written as they are, as files from before escaping
// have them.
bool needsEscape(std::u16string_view value);
std::u16string escapeValue(std::u16string_view value);
// None when the text is not a well-formed escaped value.
std::optional<std::u16string> unescapeValue(std::u16string_view text);

// A name piece DataFile can write and read back: not empty, and without the separators ("."
// and " "), the brackets of a section line or control characters.
bool isWritableName(std::u16string_view piece);
// A section name split at "." and " ".
std::vector<std::u16string_view> splitSectionName(std::u16string_view name);

// The largest element index a load gives an Array: the largest a script's arrays use, and a
// bound on what a file can make a load do.
inline constexpr uint64_t kMaxLoadedIndex = 0xFFFFFFFEull;
// Decimal digits only, at most kMaxLoadedIndex.
std::optional<uint64_t> parseIndex(std::u16string_view piece);
// An optional sign and decimal digits within 64 bits.
std::optional<int64_t> parseInteger(std::u16string_view text);
// A decimal number, or "NaN", "Infinity", "-Infinity" as saved.
std::optional<double> parseFloat(std::u16string_view text);
// The shortest text that reads back as the same double.
std::u16string floatText(double value);

}  // namespace vexil::objects::datafile
