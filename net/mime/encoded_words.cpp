#include "net/mime/encoded_words.h"

#include <algorithm>

#include "net/mime/body_base64.h"
#include "net/mime/quoted_printable.h"
#include "objects/encryption/base64_text.h"
#include "platform/text_case.h"

namespace vexil::net::mime {
namespace {

constexpr std::string_view kWordStart = "=?utf-8?B?";
constexpr size_t kLineLimit = 76;

struct EncodedWord {
  size_t end = 0;  // just after "?="
  std::string bytes;
};

std::string latin1ToUtf8(std::string_view bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    if (c < 0x80) {
      out += char(c);
    } else {
      out += char(0xC0 | c >> 6);
      out += char(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::string decodeQWord(std::string_view text) {
  std::string spaced(text);
  for (char& c : spaced)
    if (c == '_') c = ' ';
  return decodeQuotedPrintable(spaced);
}

// The encoded word starting at `at` ("=?"), if it is one.
bool readEncodedWord(std::string_view text, size_t at, EncodedWord& word) {
  size_t charsetEnd = text.find('?', at + 2);
  if (charsetEnd == std::string_view::npos || charsetEnd + 2 >= text.size() || text[charsetEnd + 2] != '?')
    return false;
  size_t end = text.find("?=", charsetEnd + 3);
  if (end == std::string_view::npos) return false;
  std::string_view charset = text.substr(at + 2, charsetEnd - at - 2);
  charset = charset.substr(0, charset.find('*'));  // RFC 2231 language suffix
  std::string_view payload = text.substr(charsetEnd + 3, end - charsetEnd - 3);
  if (payload.find_first_of(" \t\r\n") != std::string_view::npos) return false;
  char kind = platform::asciiLower(text[charsetEnd + 1]);
  if (kind == 'b') word.bytes = decodeBase64Body(payload);
  else if (kind == 'q') word.bytes = decodeQWord(payload);
  else return false;
  if (platform::equalsIgnoringAsciiCase(charset, "iso-8859-1") || platform::equalsIgnoringAsciiCase(charset, "latin1"))
    word.bytes = latin1ToUtf8(word.bytes);
  word.end = end + 2;
  return true;
}

bool isPrintableAscii(std::string_view text) {
  for (unsigned char c : text)
    if (c < 32 || c > 126) return false;
  return true;
}

// How many bytes of a UTF-8 text starting at `at` fit in one encoded word: whole characters only.
size_t wordChunk(std::string_view text, size_t at) {
  // Small enough that a first word after "Reply-To: " still ends within the line limit.
  constexpr size_t kMaxBytes = 39;
  static_assert(kWordStart.size() + kMaxBytes / 3 * 4 + 2 + 10 <= kLineLimit);
  size_t end = std::min(text.size(), at + kMaxBytes);
  if (end < text.size())
    while (end > at + 1 && (uint8_t(text[end]) & 0xC0) == 0x80) --end;
  return end - at;
}

}  // namespace

std::string decodeEncodedWords(std::string_view value) {
  std::string out;
  size_t at = 0;
  size_t pendingBlanks = std::string_view::npos;  // where blanks after an encoded word began
  while (at < value.size()) {
    EncodedWord word;
    if (value.compare(at, 2, "=?") == 0 && readEncodedWord(value, at, word)) {
      if (pendingBlanks != std::string_view::npos) out.resize(pendingBlanks);
      out += word.bytes;
      at = word.end;
      pendingBlanks = out.size();
      continue;
    }
    char c = value[at++];
    out += c;
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n') pendingBlanks = std::string_view::npos;
  }
  return out;
}

std::string encodeHeaderText(std::string_view utf8, size_t lead) {
  if (isPrintableAscii(utf8)) return std::string(utf8);
  std::string out;
  size_t column = lead;
  auto append = [&](std::string_view piece) {
    out += piece;
    column += piece.size();
  };
  for (size_t at = 0; at < utf8.size();) {
    size_t end = std::min(utf8.find(' ', at), utf8.size());
    if (isPrintableAscii(utf8.substr(at, end - at))) {
      append(utf8.substr(at, std::min(end + 1, utf8.size()) - at));
      at = end + 1;
      continue;
    }
    // A run of words that need encoding is encoded as one, the blanks inside it included.
    while (end < utf8.size()) {
      size_t next = std::min(utf8.find(' ', end + 1), utf8.size());
      if (isPrintableAscii(utf8.substr(end + 1, next - end - 1))) break;
      end = next;
    }
    for (size_t word = at; word < end;) {
      size_t length = wordChunk(utf8.substr(0, end), word);
      std::string encoded = std::string(kWordStart) + objects::encodeBase64(utf8.substr(word, length)) + "?=";
      if (word > at || column > lead) {
        if (out.empty() || out.back() != ' ') append(" ");
        if (column + encoded.size() > kLineLimit) {
          out.insert(out.size() - 1, "\r\n");
          column = 1;
        }
      }
      append(encoded);
      word += length;
    }
    if (end < utf8.size()) append(" ");
    at = end + 1;
  }
  return out;
}

}  // namespace vexil::net::mime
