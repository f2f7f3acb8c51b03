#include "net/mime/body_base64.h"

#include "objects/encryption/base64_text.h"

namespace vexil::net::mime {
namespace {

bool isDigit(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' ||
         c == '/';
}

}  // namespace

std::string encodeBase64Lines(std::string_view bytes, size_t lineWidth) {
  std::string digits = objects::encodeBase64(bytes);
  std::string out;
  out.reserve(digits.size() + digits.size() / lineWidth * 2 + 2);
  for (size_t at = 0; at < digits.size(); at += lineWidth) {
    out.append(digits, at, lineWidth);
    out += "\r\n";
  }
  return out;
}

std::string decodeBase64Body(std::string_view text) {
  std::string digits;
  digits.reserve(text.size());
  for (char c : text) {
    if (c == '=') break;
    if (isDigit(c)) digits += c;
  }
  if (digits.size() % 4 == 1) digits.pop_back();
  return objects::decodeBase64(digits).value_or(std::string());
}

}  // namespace vexil::net::mime
