#include "objects/datafile/data_file_form.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace vexil::objects::datafile {

namespace {

constexpr std::array<std::u16string_view, 6> kTypeNames = {u"boolean", u"integer", u"string",
                                                           u"float",   u"array",   u"object"};

char16_t lower(char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c - u'A' + u'a') : c; }

bool sameWord(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

bool isBlank(char16_t c) { return c == u' ' || c == u'\t'; }

bool mustEscape(char16_t c) { return c < 0x20 || c == u'\\'; }

int hexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  return -1;
}

void appendEscape(std::u16string& out, char16_t c) {
  static const char16_t kHex[] = u"0123456789ABCDEF";
  out += u"\\u";
  for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(c >> shift) & 0xF];
}

// ASCII text of the units, or none when any unit is not ASCII.
std::optional<std::string> asciiOf(std::u16string_view text) {
  std::string out;
  for (char16_t c : text) {
    if (c >= 0x80) return std::nullopt;
    out += char(c);
  }
  return out;
}

}  // namespace

std::u16string_view savedTypeName(SavedType type) { return kTypeNames[size_t(type)]; }

std::optional<SavedType> savedTypeOf(std::u16string_view name) {
  for (size_t i = 0; i < kTypeNames.size(); ++i) {
    if (sameWord(name, kTypeNames[i])) return SavedType(i);
  }
  return std::nullopt;
}

bool needsEscape(std::u16string_view value) {
  if (value.empty()) return false;
  if (isBlank(value.front()) || isBlank(value.back()) || value.front() == u'"') return true;
  for (char16_t c : value) {
    if (c < 0x20) return true;
  }
  return false;
}

std::u16string escapeValue(std::u16string_view value) {
  std::u16string out;
  for (size_t i = 0; i < value.size(); ++i) {
    char16_t c = value[i];
    bool edge = (i == 0 && (isBlank(c) || c == u'"')) || (i + 1 == value.size() && isBlank(c));
    if (c == u'\\') {
      out += u"\\\\";
    } else if (mustEscape(c) || edge) {
      appendEscape(out, c);
    } else {
      out += c;
    }
  }
  return out;
}

std::optional<std::u16string> unescapeValue(std::u16string_view text) {
  std::u16string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != u'\\') {
      out += text[i];
      continue;
    }
    if (i + 1 < text.size() && text[i + 1] == u'\\') {
      out += u'\\';
      ++i;
      continue;
    }
    if (i + 6 > text.size() || text[i + 1] != u'u') return std::nullopt;
    int unit = 0;
    for (size_t k = i + 2; k < i + 6; ++k) {
      int d = hexDigit(text[k]);
      if (d < 0) return std::nullopt;
      unit = unit * 16 + d;
    }
    out += char16_t(unit);
    i += 5;
  }
  return out;
}

bool isWritableName(std::u16string_view piece) {
  if (piece.empty()) return false;
  for (char16_t c : piece) {
    if (c < 0x20 || c == u'.' || c == u' ' || c == u'[' || c == u']' || c == u';' || c == 0x7F) return false;
  }
  return true;
}

std::vector<std::u16string_view> splitSectionName(std::u16string_view name) {
  std::vector<std::u16string_view> pieces;
  size_t start = 0;
  for (size_t i = 0; i <= name.size(); ++i) {
    if (i == name.size() || name[i] == u'.' || name[i] == u' ') {
      pieces.push_back(name.substr(start, i - start));
      start = i + 1;
    }
  }
  return pieces;
}

std::optional<uint64_t> parseIndex(std::u16string_view piece) {
  if (piece.empty() || piece.size() > 10) return std::nullopt;
  uint64_t index = 0;
  for (char16_t c : piece) {
    if (c < u'0' || c > u'9') return std::nullopt;
    index = index * 10 + uint64_t(c - u'0');
  }
  if (index > kMaxLoadedIndex) return std::nullopt;
  return index;
}

std::optional<int64_t> parseInteger(std::u16string_view text) {
  std::optional<std::string> ascii = asciiOf(text);
  if (!ascii || ascii->empty()) return std::nullopt;
  const char* begin = ascii->data();
  const char* end = begin + ascii->size();
  if (*begin == '+') ++begin;
  int64_t value = 0;
  auto [stop, error] = std::from_chars(begin, end, value);
  if (error != std::errc() || stop != end) return std::nullopt;
  return value;
}

std::optional<double> parseFloat(std::u16string_view text) {
  if (text == u"NaN") return std::nan("");
  if (text == u"Infinity") return HUGE_VAL;
  if (text == u"-Infinity") return -HUGE_VAL;
  std::optional<std::string> ascii = asciiOf(text);
  if (!ascii || ascii->empty()) return std::nullopt;
  for (char c : *ascii) {
    if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E')) return std::nullopt;
  }
  char* stop = nullptr;
  double value = std::strtod(ascii->c_str(), &stop);
  if (stop != ascii->c_str() + ascii->size()) return std::nullopt;
  return value;
}

std::u16string floatText(double value) {
  if (std::isnan(value)) return u"NaN";
  if (std::isinf(value)) return value > 0 ? u"Infinity" : u"-Infinity";
  // The shortest of 15, 16 and 17 digits that reads back exactly.
  char buffer[40];
  for (int digits = 15; digits <= 17; ++digits) {
    std::snprintf(buffer, sizeof buffer, "%.*g", digits, value);
    if (std::strtod(buffer, nullptr) == value) break;
  }
  std::u16string out;
  for (const char* p = buffer; *p; ++p) out += char16_t(*p);
  return out;
}

}  // namespace vexil::objects::datafile
