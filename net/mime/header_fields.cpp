#include "net/mime/header_fields.h"

#include <map>

#include "platform/text_case.h"

namespace vexil::net::mime {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && (isBlank(text.back()) || text.back() == '\r' || text.back() == '\n'))
    text.remove_suffix(1);
  return text;
}

// The line starting at `at`, without its line break; `next` is where the following line starts.
std::string_view lineAt(std::string_view text, size_t at, size_t& next) {
  size_t end = text.find('\n', at);
  next = end == std::string_view::npos ? text.size() : end + 1;
  std::string_view line = text.substr(at, (end == std::string_view::npos ? text.size() : end) - at);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string percentDecoded(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    int high = i + 2 < text.size() && text[i] == '%' ? hexValue(text[i + 1]) : -1;
    int low = high >= 0 ? hexValue(text[i + 2]) : -1;
    if (low >= 0) {
      out += char(high << 4 | low);
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

// One "attribute=value" after a ";": the attribute, and the value unquoted.
struct Parameter {
  std::string attribute;
  std::string value;
  bool quoted = false;
};

// Reads the parameter starting at `at` (just after a ";"), leaving `at` after it.
Parameter readParameter(std::string_view text, size_t& at) {
  Parameter p;
  size_t equals = at;
  while (equals < text.size() && text[equals] != '=' && text[equals] != ';') ++equals;
  p.attribute = platform::asciiLowered(trimmed(text.substr(at, equals - at)));
  at = equals;
  if (at >= text.size() || text[at] == ';') return p;
  ++at;
  while (at < text.size() && isBlank(text[at])) ++at;
  if (at < text.size() && text[at] == '"') {
    p.quoted = true;
    for (++at; at < text.size() && text[at] != '"'; ++at) {
      if (text[at] == '\\' && at + 1 < text.size()) ++at;
      p.value += text[at];
    }
    while (at < text.size() && text[at] != ';') ++at;
  } else {
    size_t end = text.find(';', at);
    if (end == std::string_view::npos) end = text.size();
    p.value = std::string(trimmed(text.substr(at, end - at)));
    at = end;
  }
  return p;
}

// "utf-8'en'a%20b" -> "a b": the charset and language labels are dropped.
std::string extendedValue(std::string_view value) {
  size_t first = value.find('\'');
  size_t second = first == std::string_view::npos ? first : value.find('\'', first + 1);
  if (second != std::string_view::npos) value.remove_prefix(second + 1);
  return percentDecoded(value);
}

// A field line ("Name:" with printable name characters), a continuation, or the Unix "From " line
// a mailbox puts before a message. Anything else starts the body, even without an empty line.
bool isHeaderLine(std::string_view line, bool first) {
  if (first && line.compare(0, 5, "From ") == 0) return true;
  if (!first && isBlank(line.front())) return true;
  for (char c : line) {
    if (c == ':') return true;
    if (c < 33 || c > 126) return false;
  }
  return false;
}

}  // namespace

EntityLayout splitEntity(std::string_view entity) {
  size_t at = 0;
  while (at < entity.size()) {
    size_t next = 0;
    std::string_view line = lineAt(entity, at, next);
    if (line.empty()) return {at, next};
    if (!isHeaderLine(line, at == 0)) return {at, at};
    at = next;
  }
  return {entity.size(), entity.size()};
}

std::optional<std::string> findHeaderField(std::string_view block, std::string_view name) {
  size_t at = 0;
  while (at < block.size()) {
    size_t next = 0;
    std::string_view line = lineAt(block, at, next);
    at = next;
    if (!platform::startsWithIgnoringAsciiCase(line, name)) continue;
    std::string_view rest = line.substr(name.size());
    while (!rest.empty() && isBlank(rest.front())) rest.remove_prefix(1);
    if (rest.empty() || rest.front() != ':') continue;
    std::string value(rest.substr(1));
    while (at < block.size() && isBlank(block[at])) {
      value += lineAt(block, at, next);
      at = next;
    }
    for (char& c : value)
      if (c == '\t') c = ' ';
    return std::string(trimmed(value));
  }
  return std::nullopt;
}

std::string withoutField(std::string_view block, std::string_view name) {
  std::string out;
  size_t at = 0;
  bool dropping = false;
  while (at < block.size()) {
    size_t next = 0;
    std::string_view line = lineAt(block, at, next);
    if (!(dropping && isBlank(block[at]))) {
      dropping = false;
      if (platform::startsWithIgnoringAsciiCase(line, name)) {
        std::string_view rest = line.substr(name.size());
        while (!rest.empty() && isBlank(rest.front())) rest.remove_prefix(1);
        dropping = !rest.empty() && rest.front() == ':';
      }
    }
    if (!dropping) out += block.substr(at, next - at);
    at = next;
  }
  return out;
}

std::string mediaTypeOf(std::string_view value) {
  return platform::asciiLowered(trimmed(value.substr(0, value.find(';'))));
}

std::string headerParameter(std::string_view value, std::string_view name) {
  std::string wanted = platform::asciiLowered(name);
  std::string plain;
  bool found = false;
  std::map<int, std::string> sections;  // name*N and name*N* pieces, in order
  size_t at = value.find(';');
  while (at != std::string_view::npos && at < value.size()) {
    ++at;
    Parameter p = readParameter(value, at);
    if (p.attribute == wanted && !found) {
      plain = p.value;
      found = true;
    } else if (p.attribute == wanted + "*") {
      return extendedValue(p.value);
    } else if (p.attribute.size() > wanted.size() + 1 && p.attribute.compare(0, wanted.size() + 1, wanted + "*") == 0) {
      std::string_view number = std::string_view(p.attribute).substr(wanted.size() + 1);
      bool encoded = !number.empty() && number.back() == '*';
      if (encoded) number.remove_suffix(1);
      if (number.empty() || number.size() > 3 || number.find_first_not_of("0123456789") != std::string_view::npos) continue;
      int index = std::stoi(std::string(number));
      if (!encoded) sections[index] = p.value;
      else sections[index] = index == 0 ? extendedValue(p.value) : percentDecoded(p.value);
    }
  }
  if (!sections.empty()) {
    std::string joined;
    for (auto& [index, piece] : sections) joined += piece;
    return joined;
  }
  return plain;
}

std::string singleLine(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') {
      out += text[i];
      continue;
    }
    while (i + 1 < text.size() && (text[i + 1] == '\r' || text[i + 1] == '\n')) ++i;
    out += ' ';
  }
  return out;
}

}  // namespace vexil::net::mime
