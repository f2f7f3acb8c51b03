#include "script/compiler/diagnostics.h"

#include <cstdarg>
#include <cstdio>

#include "script/compiler/compile_messages.h"

namespace vexil::script {

// A sink that cannot grow loses the line; the compilation's outcome does not depend on it.
void Diagnostics::writeLine(const char* prefix, int32_t line, const char* format, va_list args) {
  char message[kDiagnosticMessageSize];
  std::vsnprintf(message, sizeof message, format, args);
  sink_.write("sass", prefix, int(line), ": ", message);
  sink_.write("s", kLineEnd);
}

void Diagnostics::warning(int32_t line, const char* format, ...) {
  va_list args;
  va_start(args, format);
  writeLine(kWarningPrefix, line, format, args);
  va_end(args);
}

void Diagnostics::error(int32_t line, const char* format, ...) {
  va_list args;
  va_start(args, format);
  writeLine(kErrorPrefix, line, format, args);
  va_end(args);
  failed_ = true;
  throw CompileError{};
}

}  // namespace vexil::script
