#include "tools/vxpack/project/json_value.h"

#include <cmath>
#include <cstdlib>
#include <tuple>

namespace vexil::project {

namespace {

// Deep nesting is refused before it can exhaust the stack.
constexpr int kMaxDepth = 64;

class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text) {}

  JsonValue document() {
    JsonValue v = value(0);
    space();
    if (at_ < text_.size()) fail("unexpected text after the end of the document");
    return v;
  }

 private:
  [[noreturn]] void fail(const std::string& message) const { throw JsonError(line_, message); }

  void space() {
    while (at_ < text_.size()) {
      char c = text_[at_];
      if (c == '\n') ++line_;
      else if (c != ' ' && c != '\t' && c != '\r') return;
      ++at_;
    }
  }

  char peek() const { return at_ < text_.size() ? text_[at_] : '\0'; }

  void expect(char c, const char* what) {
    space();
    if (peek() != c) fail(std::string("expected ") + what);
    ++at_;
  }

  JsonValue value(int depth) {
    if (depth > kMaxDepth) fail("values nested too deeply");
    space();
    JsonValue v;
    v.line = line_;
    char c = peek();
    if (c == '{') return object(std::move(v), depth);
    if (c == '[') return array(std::move(v), depth);
    if (c == '"') {
      v.kind = JsonValue::Kind::String;
      v.text = string();
      return v;
    }
    if (c == '-' || (c >= '0' && c <= '9')) return numberValue(std::move(v));
    for (auto [word, kind, truth] : {std::tuple{"true", JsonValue::Kind::Boolean, true},
                                     std::tuple{"false", JsonValue::Kind::Boolean, false},
                                     std::tuple{"null", JsonValue::Kind::Null, false}}) {
      std::string_view w(word);
      if (text_.substr(at_, w.size()) == w) {
        at_ += w.size();
        v.kind = kind;
        v.boolean = truth;
        return v;
      }
    }
    if (at_ >= text_.size()) fail("unexpected end of the file");
    fail(std::string("unexpected character '") + c + "'");
  }

  JsonValue object(JsonValue v, int depth) {
    v.kind = JsonValue::Kind::Object;
    ++at_;
    space();
    if (peek() == '}') return ++at_, v;
    for (;;) {
      space();
      if (peek() != '"') fail("expected a key in quotes");
      int keyLine = line_;
      std::string key = string();
      if (v.find(key)) throw JsonError(keyLine, "\"" + key + "\" given twice");
      expect(':', "':' after a key");
      JsonValue member = value(depth + 1);
      v.members.push_back(JsonMember{std::move(key), std::move(member)});
      v.memberLines.push_back(keyLine);
      space();
      if (peek() == ',') {
        ++at_;
        continue;
      }
      expect('}', "',' or '}' after a member");
      return v;
    }
  }

  JsonValue array(JsonValue v, int depth) {
    v.kind = JsonValue::Kind::Array;
    ++at_;
    space();
    if (peek() == ']') return ++at_, v;
    for (;;) {
      v.items.push_back(value(depth + 1));
      space();
      if (peek() == ',') {
        ++at_;
        continue;
      }
      expect(']', "',' or ']' after an array item");
      return v;
    }
  }

  JsonValue numberValue(JsonValue v) {
    size_t start = at_;
    if (peek() == '-') ++at_;
    auto digits = [&] {
      size_t first = at_;
      while (peek() >= '0' && peek() <= '9') ++at_;
      return at_ > first;
    };
    if (peek() == '0') ++at_;
    else if (!digits()) fail("a number needs digits");
    if (peek() == '.') {
      ++at_;
      if (!digits()) fail("a number needs digits after '.'");
    }
    if (peek() == 'e' || peek() == 'E') {
      ++at_;
      if (peek() == '+' || peek() == '-') ++at_;
      if (!digits()) fail("a number needs digits in its exponent");
    }
    v.kind = JsonValue::Kind::Number;
    v.text = std::string(text_.substr(start, at_ - start));
    v.number = std::strtod(v.text.c_str(), nullptr);
    if (!std::isfinite(v.number)) fail("number out of range: " + v.text);
    return v;
  }

  unsigned hex4() {
    unsigned value = 0;
    for (int i = 0; i < 4; ++i, ++at_) {
      char c = peek();
      value <<= 4;
      if (c >= '0' && c <= '9') value |= unsigned(c - '0');
      else if (c >= 'a' && c <= 'f') value |= unsigned(c - 'a' + 10);
      else if (c >= 'A' && c <= 'F') value |= unsigned(c - 'A' + 10);
      else fail("expected four hexadecimal digits after \\u");
    }
    return value;
  }

  static void appendUtf8(std::string& out, unsigned code) {
    if (code < 0x80) {
      out += char(code);
    } else if (code < 0x800) {
      out += char(0xC0 | code >> 6), out += char(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      out += char(0xE0 | code >> 12), out += char(0x80 | (code >> 6 & 0x3F)), out += char(0x80 | (code & 0x3F));
    } else {
      out += char(0xF0 | code >> 18), out += char(0x80 | (code >> 12 & 0x3F));
      out += char(0x80 | (code >> 6 & 0x3F)), out += char(0x80 | (code & 0x3F));
    }
  }

  std::string string() {
    ++at_;  // the opening quote
    std::string out;
    for (;;) {
      if (at_ >= text_.size()) fail("a string is not closed");
      char c = text_[at_++];
      if (c == '"') return out;
      if (static_cast<unsigned char>(c) < 0x20) fail("a string may not hold a line end or control character");
      if (c != '\\') {
        out += c;
        continue;
      }
      char e = peek();
      ++at_;
      switch (e) {
        case '"': case '\\': case '/': out += e; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'u': {
          unsigned code = hex4();
          if (code >= 0xD800 && code < 0xDC00 && text_.substr(at_, 2) == "\\u") {
            at_ += 2;
            unsigned low = hex4();
            if (low < 0xDC00 || low >= 0xE000) fail("a surrogate pair is broken");
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
          } else if (code >= 0xD800 && code < 0xE000) {
            fail("a surrogate pair is broken");
          }
          appendUtf8(out, code);
          break;
        }
        default: fail(std::string("unknown escape \\") + e);
      }
    }
  }

  std::string_view text_;
  size_t at_ = 0;
  int line_ = 1;
};

}  // namespace

const JsonValue* JsonValue::find(std::string_view key) const {
  for (auto& [name, value] : members)
    if (name == key) return &value;
  return nullptr;
}

const char* JsonValue::kindName(Kind kind) {
  switch (kind) {
    case Kind::Null: return "null";
    case Kind::Boolean: return "true or false";
    case Kind::Number: return "a number";
    case Kind::String: return "a string";
    case Kind::Array: return "an array";
    case Kind::Object: return "an object";
  }
  return "?";
}

JsonValue parseJson(std::string_view text) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);  // a byte-order mark some editors write
  return Parser(text).document();
}

}  // namespace vexil::project
