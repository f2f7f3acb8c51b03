#include "script/builtins/uri_codec.h"

#include <cstdint>

namespace vexil::script {

namespace {

constexpr char16_t kHexDigits[] = u"0123456789ABCDEF";

bool isHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool isLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

void appendEscape(std::u16string& out, uint8_t byte) {
  out += u'%';
  out += kHexDigits[byte >> 4];
  out += kHexDigits[byte & 15];
}

void appendUtf8(std::u16string& out, uint32_t cp) {
  if (cp < 0x80) {
    appendEscape(out, uint8_t(cp));
  } else if (cp < 0x800) {
    appendEscape(out, uint8_t(0xC0 | cp >> 6));
    appendEscape(out, uint8_t(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    appendEscape(out, uint8_t(0xE0 | cp >> 12));
    appendEscape(out, uint8_t(0x80 | (cp >> 6 & 0x3F)));
    appendEscape(out, uint8_t(0x80 | (cp & 0x3F)));
  } else {
    appendEscape(out, uint8_t(0xF0 | cp >> 18));
    appendEscape(out, uint8_t(0x80 | (cp >> 12 & 0x3F)));
    appendEscape(out, uint8_t(0x80 | (cp >> 6 & 0x3F)));
    appendEscape(out, uint8_t(0x80 | (cp & 0x3F)));
  }
}

int hexValue(char16_t u) {
  if (u >= u'0' && u <= u'9') return u - u'0';
  if (u >= u'A' && u <= u'F') return u - u'A' + 10;
  if (u >= u'a' && u <= u'f') return u - u'a' + 10;
  return -1;
}

// The byte of the escape at `at` ("%" and two hex digits); -1 when there is none.
int escapedByte(std::u16string_view text, size_t at) {
  if (at + 2 >= text.size() || text[at] != u'%') return -1;
  int high = hexValue(text[at + 1]), low = hexValue(text[at + 2]);
  return high < 0 || low < 0 ? -1 : high << 4 | low;
}

// How many bytes a lead byte announces: 1 for ASCII, 2 to 6 for 110xxxxx to 1111110x; 0 for a
// continuation byte or 0xFE and 0xFF.
int announcedLength(uint8_t lead) {
  if (lead < 0x80) return 1;
  int n = 0;
  while (n < 8 && (lead & (0x80 >> n))) ++n;
  return n >= 2 && n <= 6 ? n : 0;
}

// Decodes the escapes from `at` on into one code point; advances `at` past them.
std::optional<uint32_t> decodeSequence(std::u16string_view text, size_t& at) {
  int lead = escapedByte(text, at);
  if (lead < 0) return std::nullopt;
  int n = announcedLength(uint8_t(lead));
  if (n == 0) return std::nullopt;
  at += 3;
  if (n == 1) return uint32_t(lead);
  uint32_t cp = uint32_t(lead) & (0x7Fu >> n);
  for (int k = 1; k < n; ++k) {
    int byte = escapedByte(text, at);
    if (byte < 0 || (byte & 0xC0) != 0x80) return std::nullopt;
    cp = cp << 6 | uint32_t(byte & 0x3F);
    at += 3;
  }
  static constexpr uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000, 0x200000, 0x4000000};
  bool overlong = cp < kSmallest[n];
  if (overlong || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return std::nullopt;
  return cp;
}

}  // namespace

std::optional<std::u16string> encodeUri(std::u16string_view text, std::u16string_view unescaped) {
  std::u16string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t u = text[i];
    if (unescaped.find(u) != std::u16string_view::npos) {
      out += u;
      continue;
    }
    uint32_t cp = u;
    if (isLowSurrogate(u)) return std::nullopt;
    if (isHighSurrogate(u)) {
      if (i + 1 >= text.size() || !isLowSurrogate(text[i + 1])) return std::nullopt;
      cp = 0x10000 + ((uint32_t(u) - 0xD800) << 10) + (uint32_t(text[++i]) - 0xDC00);
    }
    appendUtf8(out, cp);
  }
  return out;
}

std::optional<std::u16string> decodeUri(std::u16string_view text, std::u16string_view keepEscaped) {
  std::u16string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    if (text[i] != u'%') {
      out += text[i++];
      continue;
    }
    size_t start = i;
    std::optional<uint32_t> cp = decodeSequence(text, i);
    if (!cp) return std::nullopt;
    if (*cp >= 0x10000) {
      out += char16_t(0xD800 + ((*cp - 0x10000) >> 10));
      out += char16_t(0xDC00 + ((*cp - 0x10000) & 0x3FF));
    } else if (keepEscaped.find(char16_t(*cp)) != std::u16string_view::npos) {
      out.append(text.substr(start, i - start));
    } else {
      out += char16_t(*cp);
    }
  }
  return out;
}

}  // namespace vexil::script
