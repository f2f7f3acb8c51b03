#pragma once
// The constant pool a compiled script carries: entries keyed by kind and text, numbered in order
// of first use, identical constants sharing one number. Adding an entry appends its bytes to the
// constants section as it goes.
//
// Keys: an integer by its value, a double by its exact bits (so two doubles that differ only far
// behind the point stay two constants), a string and a name by their bytes, a regular expression
// by its flag bits and its pattern (so /a/g and /ag/ stay apart).
#include <cstdint>
#include <functional>
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
  // Looked up by a view; a key is copied only when it is new.
  struct TextHash {
    using is_transparent = void;
    size_t operator()(std::string_view text) const { return std::hash<std::string_view>()(text); }
  };
  using TextMap = std::unordered_map<std::string, uint32_t, TextHash, std::equal_to<>>;

  // Its number; `fresh` says whether the caller must write the entry's bytes.
  uint32_t intern(TextMap& map, PoolKind kind, std::string_view key, bool& fresh);
  template <typename Map, typename Key>
  uint32_t intern(Map& map, PoolKind kind, Key key, bool& fresh);
  void bigWord(uint32_t value);
  void utf16(std::string_view text);

  TextMap names_, strings_, regexps_;
  std::unordered_map<int64_t, uint32_t> integers_;
  std::unordered_map<uint64_t, uint32_t> reals_;
  std::vector<uint8_t> section_;
  uint32_t next_ = 0;
};

}  // namespace vexil::script
