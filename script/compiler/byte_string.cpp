#include "script/compiler/byte_string.h"

#include <cstring>

#include "script/runtime/heap.h"
#include "script/runtime/runtime_error.h"

namespace vexil::script {

const ByteString* newByteString(Engine& engine, std::string_view bytes) {
  if (bytes.size() > UINT32_MAX - sizeof(ByteString) - 1) raiseOutOfMemory(engine);
  auto* s = static_cast<ByteString*>(allocBlock(engine, sizeof(ByteString) + bytes.size() + 1));
  s->length = uint32_t(bytes.size());
  char* text = reinterpret_cast<char*>(s + 1);
  if (!bytes.empty()) std::memcpy(text, bytes.data(), bytes.size());
  text[bytes.size()] = 0;
  return s;
}

}  // namespace vexil::script
