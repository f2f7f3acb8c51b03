#include "net/mime/quoted_printable.h"

namespace vexil::net::mime {
namespace {

// A soft break follows the character that takes a line past this many columns, so no encoded
// line (its "=" included) is longer than 76.
constexpr size_t kSoftBreakColumn = 72;
constexpr char kHexDigits[] = "0123456789ABCDEF";

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

bool isLiteral(unsigned char c) { return (c >= 33 && c <= 126 && c != '=') || isBlank(char(c)); }

void appendEscaped(std::string& out, unsigned char c) {
  out += '=';
  out += kHexDigits[c >> 4];
  out += kHexDigits[c & 15];
}

}  // namespace

std::string encodeQuotedPrintable(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 8 + 8);
  size_t column = 0;
  for (size_t i = 0; i < bytes.size(); ++i) {
    unsigned char c = uint8_t(bytes[i]);
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
      out += "\r\n";
      column = 0;
      continue;
    }
    // A blank is written as it is only when something else follows it on the line.
    bool endsLine = i + 1 == bytes.size() || bytes[i + 1] == '\r' || bytes[i + 1] == '\n';
    if (isLiteral(c) && !(isBlank(char(c)) && endsLine)) {
      out += char(c);
      ++column;
    } else {
      appendEscaped(out, c);
      column += 3;
    }
    if (column > kSoftBreakColumn && !endsLine) {
      out += "=\r\n";
      column = 0;
    }
  }
  if (column > 0) out += "=\r\n";  // the text ends without a line break of its own
  return out;
}

std::string decodeQuotedPrintable(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c != '=') {
      out += c;
      continue;
    }
    size_t j = i + 1;
    while (j < text.size() && isBlank(text[j])) ++j;
    if (j < text.size() && (text[j] == '\n' || (text[j] == '\r' && j + 1 < text.size() && text[j + 1] == '\n'))) {
      i = text[j] == '\r' ? j + 1 : j;  // a soft break: the line goes on
      continue;
    }
    if (j == text.size() && j > i + 1) break;  // "=" and blanks closing the text: a soft break
    int high = i + 1 < text.size() ? hexValue(text[i + 1]) : -1;
    int low = i + 2 < text.size() ? hexValue(text[i + 2]) : -1;
    if (high >= 0 && low >= 0) {
      out += char(high << 4 | low);
      i += 2;
    } else {
      out += '=';
    }
  }
  return out;
}

}  // namespace vexil::net::mime
