#include "script/compiler/constant_pool.h"

#include <cstring>

#include "platform/text_encoding.h"

namespace vexil::script {

uint32_t ConstantPool::intern(TextMap& map, PoolKind kind, std::string_view key, bool& fresh) {
  auto it = map.find(key);
  fresh = it == map.end();
  if (!fresh) return it->second;
  map.emplace(std::string(key), next_);
  section_.push_back(uint8_t(kind));
  return next_++;
}

template <typename Map, typename Key>
uint32_t ConstantPool::intern(Map& map, PoolKind kind, Key key, bool& fresh) {
  auto [it, added] = map.emplace(key, next_);
  fresh = added;
  if (!added) return it->second;
  section_.push_back(uint8_t(kind));
  return next_++;
}

void ConstantPool::bigWord(uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) section_.push_back(uint8_t(value >> shift));
}

// A big-endian byte count, then the text converted from the ANSI code page to UTF-16LE.
void ConstantPool::utf16(std::string_view text) {
  std::u16string units = platform::ansiToUtf16(text);
  bigWord(uint32_t(units.size() * 2));
  for (char16_t unit : units) {
    section_.push_back(uint8_t(unit));
    section_.push_back(uint8_t(unit >> 8));
  }
}

uint32_t ConstantPool::name(std::string_view name) {
  bool fresh = false;
  uint32_t number = intern(names_, PoolKind::Name, name, fresh);
  if (fresh) {
    section_.insert(section_.end(), name.begin(), name.end());
    section_.push_back(0);
  }
  return number;
}

uint32_t ConstantPool::constant(const Instruction& push) {
  bool fresh = false;
  switch (push.kind) {
    case PoolKind::Integer: {
      uint32_t number = intern(integers_, PoolKind::Integer, push.integer, fresh);
      if (fresh) {
        bigWord(uint32_t(uint64_t(push.integer) >> 32));
        bigWord(uint32_t(push.integer));
      }
      return number;
    }
    case PoolKind::Real: {
      uint64_t bits = 0;
      std::memcpy(&bits, &push.real, 8);
      uint32_t number = intern(reals_, PoolKind::Real, bits, fresh);
      if (fresh)
        for (int i = 0; i < 8; ++i) section_.push_back(uint8_t(bits >> (8 * i)));
      return number;
    }
    case PoolKind::RegExp: {
      std::string key(1, char(push.flags));
      key += push.text;
      uint32_t number = intern(regexps_, PoolKind::RegExp, key, fresh);
      if (fresh) {
        section_.push_back(uint8_t(push.flags));
        utf16(push.text);
      }
      return number;
    }
    default: {
      uint32_t number = intern(strings_, PoolKind::String, push.text, fresh);
      if (fresh) utf16(push.text);
      return number;
    }
  }
}

}  // namespace vexil::script
