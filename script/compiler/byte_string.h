#pragma once
// The compiler's strings: the bytes of an identifier, a string literal or a regular-expression
// body, in the engine heap. They are counted, so a literal holding a 0 byte ("a\0b") keeps all its
// bytes, and terminated too, so the text can be handed on as a C string.
#include <cstdint>
#include <string_view>

namespace vexil::script {

struct Engine;

struct ByteString {
  uint32_t length;
  // The bytes and a terminating 0 follow the record.
  const char* text() const { return reinterpret_cast<const char*>(this + 1); }
  std::string_view view() const { return {text(), length}; }
};

// A new byte string in the engine heap; lives until the heap reclaims it after the compilation.
const ByteString* newByteString(Engine& engine, std::string_view bytes);

}  // namespace vexil::script
