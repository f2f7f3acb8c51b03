#pragma once
// The diagnostics sink of a compilation: a memory buffer of lines "warning: line N: <message>" and
// "error: line N: <message>", each ending in CR LF. A warning lets the compilation go on; an error
// is written and then ends the whole compilation at once, by throwing CompileError to the compile
// entry (a C++ exception, so every frame on the way runs its destructors).
#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "script/compiler/script_stream.h"

namespace vexil::script {

// Messages are formatted into this many bytes; at most one less survive.
inline constexpr size_t kDiagnosticMessageSize = 256;

// Carries the end of a compilation from the failing error to the compile entry.
struct CompileError {};

class Diagnostics {
 public:
  void warning(int32_t line, const char* format, ...);
  [[noreturn]] void error(int32_t line, const char* format, ...);

  std::string_view text() const { return sink_.contents(); }
  bool failed() const { return failed_; }

 private:
  void writeLine(const char* prefix, int32_t line, const char* format, va_list args);

  ScriptStream sink_;
  bool failed_ = false;
};

}  // namespace vexil::script
