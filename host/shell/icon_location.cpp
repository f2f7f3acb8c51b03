#include "host/shell/icon_location.h"

#include <climits>
#include <optional>
#include <string>

namespace vexil::shell {
namespace {

bool isSpace(char16_t c) { return c == u' ' || c == u'\t'; }

// A decimal int with an optional sign and spaces around it; none when the text is anything else
// or out of range.
std::optional<int> indexNumber(std::u16string_view text) {
  while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
  bool negative = !text.empty() && text.front() == u'-';
  if (!text.empty() && (text.front() == u'-' || text.front() == u'+')) text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  long long n = 0;
  for (char16_t c : text) {
    if (c < u'0' || c > u'9') return std::nullopt;
    n = n * 10 + (c - u'0');
    if (n > static_cast<long long>(INT_MAX) + 1) return std::nullopt;
  }
  if (negative) n = -n;
  if (n < INT_MIN || n > INT_MAX) return std::nullopt;
  return static_cast<int>(n);
}

}  // namespace

IconLocation parseIconLocation(std::u16string_view text) {
  size_t comma = text.rfind(u',');
  if (comma != std::u16string_view::npos) {
    if (std::optional<int> index = indexNumber(text.substr(comma + 1))) {
      return {std::u16string(text.substr(0, comma)), *index};
    }
  }
  return {std::u16string(text), 0};
}

std::u16string iconLocationText(std::u16string_view path, int index) {
  std::u16string text(path);
  text += u',';
  for (char c : std::to_string(index)) text += char16_t(c);
  return text;
}

}  // namespace vexil::shell
