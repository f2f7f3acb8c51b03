#pragma once
// The argument block: a Value array whose element 0 is an Integer holding the argument count n,
// followed by the n arguments. Readers never look past element n, and a missing argument or one of
// the wrong type reads as absent, so host methods can answer Undefined (or their documented
// failure value) without raising.
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "script/runtime/value.h"

namespace vexil::script {

struct Engine;
struct ScriptString;

class Arguments {
 public:
  explicit Arguments(const Value* block) : block_(block), count_(countOf(block)) {}

  uint32_t count() const { return count_; }
  // Argument i (1-based, as in the block); null when absent.
  const Value* at(uint32_t i) const { return i >= 1 && i <= count_ ? &block_[i] : nullptr; }
  bool has(uint32_t i, Tag tag) const { const Value* v = at(i); return v && v->tag == tag; }

  // An Integer, or a finite Real truncated toward zero.
  std::optional<int64_t> integer(uint32_t i) const;
  // Any number form; NaN reads as a NaN double.
  std::optional<double> number(uint32_t i) const;
  std::optional<bool> boolean(uint32_t i) const;
  const ScriptString* string(uint32_t i) const;
  std::optional<std::u16string> text(uint32_t i) const;
  std::optional<std::string> ansi(uint32_t i) const;
  PropertyTable* object(uint32_t i) const;
  // A Function, or a Native whose class can be called.
  const Value* callable(uint32_t i) const;

  static uint32_t countOf(const Value* block);
  // The block itself, for the few readers that give a negative count a meaning of their own (the
  // Array constructor's literal form).
  const Value* block() const { return block_; }

 private:
  const Value* block_;
  uint32_t count_;
};

// Builds an argument block for calls made from host code.
std::vector<Value> argumentBlock(std::initializer_list<Value> args);

}  // namespace vexil::script
