#pragma once
// The constant pool a compiled script carries: entries keyed by kind and text, numbered in order
// of first use, identical constants sharing one number. Adding an entry appends its bytes to the
// constants section as it goes.
//
// Keys: an integer by its decimal text, a double by its exact bits (so two doubles that differ
// only far behind the point stay two constants), a string and a name by their bytes, a regular
// expression by its flag bits and its pattern (so /a/g and /ag/ stay apart).
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "script/compiler/instruction_list.h"

namespace vexil::script {

class ConstantPool {
 public:
  uint32_t name(std::string_view name);
  // The constant a PushConst pushes.
  uint32_t constant(const Instruction& push);

  const std::vector<uint8_t>& section() const { return section_; }
  uint32_t count() const { return next_; }

 private:
  // Its number; `fresh` says whether the caller must write the entry's bytes.
  uint32_t intern(PoolKind kind, std::string key, bool& fresh);
  void bigWord(uint32_t value);
  void utf16(std::string_view text);

  std::unordered_map<std::string, uint32_t> numbers_;
  std::vector<uint8_t> section_;
  uint32_t next_ = 0;
};

}  // namespace vexil::script
