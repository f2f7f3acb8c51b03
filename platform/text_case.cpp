#include "platform/text_case.h"

#include <algorithm>

namespace vexil::platform {

namespace {

template <typename View>
bool foldedEqual(View a, View b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](auto x, auto y) { return asciiLower(x) == asciiLower(y); });
}

}  // namespace

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) { return foldedEqual(a, b); }
bool equalsIgnoringAsciiCase(std::wstring_view a, std::wstring_view b) { return foldedEqual(a, b); }

bool startsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && foldedEqual(text.substr(0, prefix.size()), prefix);
}

bool endsWithIgnoringAsciiCase(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && foldedEqual(text.substr(text.size() - suffix.size()), suffix);
}

std::string asciiLowered(std::string_view text) {
  std::string lowered(text);
  for (char& c : lowered) c = asciiLower(c);
  return lowered;
}

}  // namespace vexil::platform
