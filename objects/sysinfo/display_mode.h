#pragma once
// Display modes as scripts see them: objects with the integer properties "bitsPerPel",
// "pelsWidth", "pelsHeight" and "displayFrequency", made from the system's modes and read back
// when a script asks for a change.
#include <array>
#include <cstdint>
#include <optional>

#include "script/runtime/value.h"

namespace vexil::script {
struct Engine;
struct PropertyTable;
}  // namespace vexil::script

namespace vexil::objects {

enum class DisplayField { BitsPerPel, PelsWidth, PelsHeight, DisplayFrequency };
inline constexpr size_t kDisplayFieldCount = 4;

struct DisplayMode {
  std::array<int64_t, kDisplayFieldCount> fields{};
  int64_t& operator[](DisplayField f) { return fields[size_t(f)]; }
  int64_t operator[](DisplayField f) const { return fields[size_t(f)]; }
};

// A change a script asks for: the fields its object holds (as numbers), and whether it is a test.
struct DisplayModeRequest {
  std::array<std::optional<int64_t>, kDisplayFieldCount> fields{};
  bool test = false;
};

const char* displayFieldName(DisplayField field);
// A new object for the mode in *target (which must be a rooted slot).
void makeDisplayModeObject(script::Engine& engine, const DisplayMode& mode, script::Value* target);
// The fields present on the object (read as numbers; NaN and non-numbers leave a field out), and
// its "test" property as a boolean.
DisplayModeRequest readDisplayModeRequest(script::Engine& engine, script::PropertyTable* object);

}  // namespace vexil::objects
