#pragma once
// A small JSON reader that remembers the line of every value, so that a mistake in a project file
// can be named by line and key. Objects keep their members in file order; a key given twice is an
// error. Numbers are kept as their text as well, so that callers can insist on whole numbers.
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vexil::project {

class JsonError : public std::runtime_error {
 public:
  JsonError(int line, const std::string& message)
      : std::runtime_error("line " + std::to_string(line) + ": " + message), line_(line), message_(message) {}
  int line() const { return line_; }
  const std::string& message() const { return message_; }  // without the line

 private:
  int line_;
  std::string message_;
};

struct JsonMember;

struct JsonValue {
  enum class Kind { Null, Boolean, Number, String, Array, Object };
  Kind kind = Kind::Null;
  int line = 0;      // where the value starts, counted from 1
  bool boolean = false;
  double number = 0;
  std::string text;  // a string's value, or a number's text
  std::vector<JsonValue> items;                             // an array's values
  std::vector<JsonMember> members;                          // an object's members, in file order
  std::vector<int> memberLines;                             // the line of each member's key

  const JsonValue* find(std::string_view key) const;
  static const char* kindName(Kind kind);
};

struct JsonMember {
  std::string key;
  JsonValue value;
};

// Parses UTF-8 JSON text (one value, nothing but white space after it). Throws JsonError.
JsonValue parseJson(std::string_view text);

}  // namespace vexil::project
