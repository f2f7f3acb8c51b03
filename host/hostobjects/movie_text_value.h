#pragma once
// What the text of a movie variable means to a script: "true" and "false" are booleans, a whole
// base-10 number an integer, any other decimal number a double, and everything else text.
#include <cstdint>
#include <string_view>

namespace vexil::hostobjects {

struct MovieTextValue {
  enum class Kind { Boolean, Integer, Double, Text };
  Kind kind = Kind::Text;
  bool boolean = false;
  int64_t integer = 0;
  double real = 0;
};

MovieTextValue movieTextValue(std::u16string_view text);

}  // namespace vexil::hostobjects
