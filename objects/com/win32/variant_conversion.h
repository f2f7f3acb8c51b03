#pragma once
// Script values to automation VARIANTs and back: by a declared parameter type, generically, and
// through the references of an event's output parameters.
#include <windows.h>
#include <oaidl.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "script/runtime/value.h"

namespace vexil::script {
struct Engine;
}

namespace vexil::objects::com {

// Arrays larger than this are not converted either way: no server call is worth a gigabyte of
// copies.
inline constexpr uint64_t kMaxElements = uint64_t(1) << 24;
inline constexpr uint64_t kMaxArrayBytes = uint64_t(1) << 28;

// Storage that by-reference arguments point at, one cell per argument, of the declared size: a
// server writes into the cell, never into a script value. The cells live until the call has
// returned; what a server left in an integer or float cell is copied back into the argument's
// slot, and every cell is cleared (strings freed, objects released).
class ArgumentCells {
 public:
  ArgumentCells() = default;
  ArgumentCells(const ArgumentCells&) = delete;
  ArgumentCells& operator=(const ArgumentCells&) = delete;
  ~ArgumentCells();

  // A new empty cell; when slot is given, the cell's value is copied back into it.
  VARIANT* add(script::Value* slot = nullptr);
  void copyBack();

 private:
  struct Cell {
    VARIANT value;
    script::Value* slot;
  };
  std::vector<std::unique_ptr<Cell>> cells_;  // each cell stays where it is while others are added
};

// The value a server sees for a parameter the script did not supply.
void setParameterNotFound(VARIANT* out);

// Converts by the declared type (with VT_BYREF for a reference); a null value, or one the
// declared type does not accept, gives the parameter-not-found default. *out must be empty.
void toDeclaredVariant(script::Engine& engine, script::Value* value, VARTYPE declared, ArgumentCells& cells,
                       VARIANT* out);
// A reference of the declared type (with VT_BYREF) to a new empty cell, for an output parameter.
void emptyReference(VARTYPE declared, ArgumentCells& cells, VARIANT* out);
// The conversion without a declared type. *out must be empty; the caller clears it.
void toVariant(script::Engine& engine, const script::Value& value, VARIANT* out);
// Converts to a script value. VT_VARIANT takes the VARIANT's own type; another expected type is
// used when the VARIANT converts to it; VT_EMPTY gives undefined.
void fromVariant(script::Engine& engine, const VARIANT& in, VARTYPE expected, script::Value* out);
// Writes a handler's answer back through an event argument passed by reference; arguments not
// passed by reference, and types without a rule, are left alone.
void writeBack(script::Engine& engine, const script::Value& value, VARIANT& target);

}  // namespace vexil::objects::com
