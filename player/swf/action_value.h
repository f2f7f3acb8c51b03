#pragma once
// A value on the action stack or in a movie variable. The conversions follow the player of the
// movie's version: version 4 movies know only numbers and strings, later ones add booleans and
// undefined.
#include <cstdint>
#include <string>

namespace vexil::swf {

struct ActionValue {
  enum class Kind : uint8_t { Undefined, Null, Boolean, Number, String };
  Kind kind = Kind::Undefined;
  bool boolean = false;
  double number = 0;
  std::string text;  // UTF-8

  static ActionValue undefined() { return {}; }
  static ActionValue null() { return make(Kind::Null); }
  static ActionValue fromBool(bool value) {
    ActionValue result = make(Kind::Boolean);
    result.boolean = value;
    return result;
  }
  static ActionValue fromNumber(double value) {
    ActionValue result = make(Kind::Number);
    result.number = value;
    return result;
  }
  static ActionValue fromString(std::string value) {
    ActionValue result = make(Kind::String);
    result.text = std::move(value);
    return result;
  }

  bool isString() const { return kind == Kind::String; }

 private:
  static ActionValue make(Kind kind) {
    ActionValue result;
    result.kind = kind;
    return result;
  }
};

// How the player prints a number: integers without a fraction, otherwise 15 significant digits.
std::string formatNumber(double value);
// Whole-text decimal parse (surrounding blanks allowed); nothing on failure.
bool parseNumber(const std::string& text, double& value);

double toNumber(const ActionValue& value, uint8_t version);
std::string toString(const ActionValue& value, uint8_t version);
bool toBoolean(const ActionValue& value, uint8_t version);
// Truth values are numbers 1 and 0 for version 4 movies, booleans later.
ActionValue truthValue(bool value, uint8_t version);

}  // namespace vexil::swf
