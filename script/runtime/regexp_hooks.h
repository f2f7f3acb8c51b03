#pragma once
// The RegExp class lives with the host objects, but the loader (regular-expression constants) and
// the String methods that take patterns need it. Its registration fills these hooks in the engine;
// while they are empty, a regular-expression constant loads as Null and the String methods treat
// every pattern as a plain string.
#include <cstdint>
#include <string_view>

#include "script/runtime/value.h"

namespace vexil::script {

struct Engine;

struct RegExpHooks {
  // A new RegExp object from a compiled constant (flags: g = 1, i = 2, m = 4).
  Value (*fromConstant)(Engine& engine, std::u16string_view pattern, uint8_t flags) = nullptr;
  // String.prototype.match/replace/search/split with a RegExp argument: `self` is the string, `args`
  // the argument block. Each answers true and sets `result` when the first argument is a RegExp,
  // false to let the String class handle a plain pattern.
  bool (*match)(Engine& engine, const Value& self, const Value* args, Value& result) = nullptr;
  bool (*replace)(Engine& engine, const Value& self, const Value* args, Value& result) = nullptr;
  bool (*search)(Engine& engine, const Value& self, const Value* args, Value& result) = nullptr;
  bool (*split)(Engine& engine, const Value& self, const Value* args, Value& result) = nullptr;
};

}  // namespace vexil::script
