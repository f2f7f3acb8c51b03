#include "platform/text_encoding.h"

namespace vexil::platform {

std::string utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    } else if (c >= 0xD800 && c < 0xE000) {
      c = 0xFFFD;  // a lone surrogate has no UTF-8 form
    }
    if (c < 0x80) {
      out += char(c);
    } else if (c < 0x800) {
      out += char(0xC0 | (c >> 6));
      out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += char(0xE0 | (c >> 12));
      out += char(0x80 | ((c >> 6) & 0x3F));
      out += char(0x80 | (c & 0x3F));
    } else {
      out += char(0xF0 | (c >> 18));
      out += char(0x80 | ((c >> 12) & 0x3F));
      out += char(0x80 | ((c >> 6) & 0x3F));
      out += char(0x80 | (c & 0x3F));
    }
  }
  return out;
}

// Decodes one UTF-8 sequence at text[i]; malformed input yields U+FFFD and consumes one byte.
static uint32_t decodeUtf8(std::string_view text, size_t& i) {
  unsigned char b = text[i++];
  if (b < 0x80) return b;
  int extra = b >= 0xF0 && b < 0xF5 ? 3 : b >= 0xE0 ? 2 : b >= 0xC2 && b < 0xE0 ? 1 : -1;
  if (extra < 0 || i + extra > text.size()) return 0xFFFD;
  uint32_t c = b & (0x3F >> extra);
  for (int k = 0; k < extra; ++k) {
    unsigned char t = text[i + k];
    if ((t & 0xC0) != 0x80) return 0xFFFD;
    c = (c << 6) | (t & 0x3F);
  }
  static const uint32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
  if (c < kMinimum[extra] || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) return 0xFFFD;
  i += extra;
  return c;
}

std::u16string utf8ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    uint32_t c = decodeUtf8(text, i);
    if (c >= 0x10000) {
      out += char16_t(0xD800 + ((c - 0x10000) >> 10));
      out += char16_t(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      out += char16_t(c);
    }
  }
  return out;
}

}  // namespace vexil::platform
