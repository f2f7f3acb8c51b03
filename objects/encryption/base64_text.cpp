#include "objects/encryption/base64_text.h"

#include <array>

namespace vexil::objects {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr int8_t kNotBase64 = -1;

constexpr std::array<int8_t, 256> makeDigitTable() {
  std::array<int8_t, 256> table{};
  table.fill(kNotBase64);
  for (int i = 0; i < 64; ++i) table[uint8_t(kAlphabet[i])] = int8_t(i);
  return table;
}
constexpr std::array<int8_t, 256> kDigits = makeDigitTable();

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

std::string encodeBase64(std::string_view bytes) {
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  size_t i = 0;
  for (; i + 3 <= bytes.size(); i += 3) {
    uint32_t group = uint32_t(uint8_t(bytes[i])) << 16 | uint32_t(uint8_t(bytes[i + 1])) << 8 |
                     uint8_t(bytes[i + 2]);
    for (int shift = 18; shift >= 0; shift -= 6) out += kAlphabet[(group >> shift) & 63];
  }
  size_t rest = bytes.size() - i;
  if (rest > 0) {
    uint32_t group = uint32_t(uint8_t(bytes[i])) << 16;
    if (rest == 2) group |= uint32_t(uint8_t(bytes[i + 1])) << 8;
    out += kAlphabet[(group >> 18) & 63];
    out += kAlphabet[(group >> 12) & 63];
    out += rest == 2 ? kAlphabet[(group >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

std::optional<std::string> decodeBase64(std::string_view text) {
  std::string out;
  out.reserve(text.size() / 4 * 3 + 2);
  uint32_t group = 0;
  int digits = 0;  // in the group being read
  size_t fill = 0;
  for (char c : text) {
    if (isSpace(c)) continue;
    if (c == '=') {
      ++fill;
      continue;
    }
    int8_t digit = kDigits[uint8_t(c)];
    if (digit == kNotBase64 || fill > 0) return std::nullopt;
    group = group << 6 | uint32_t(digit);
    if (++digits == 4) {
      out += char(group >> 16);
      out += char(group >> 8);
      out += char(group);
      group = 0;
      digits = 0;
    }
  }
  if (digits == 1 || fill > 2 || (fill > 0 && (digits + fill) % 4 != 0)) return std::nullopt;
  if (digits == 2) out += char(group >> 4);
  if (digits == 3) {
    out += char(group >> 10);
    out += char(group >> 2);
  }
  return out;
}

}  // namespace vexil::objects
