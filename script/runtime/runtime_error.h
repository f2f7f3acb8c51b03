#pragma once
// Runtime errors and protected calls.
//
// A runtime error rewrites the message buffer as "Runtime error: <message>" and unwinds to the
// innermost protected call. The unwind is a C++ exception, so destructors of the frames it crosses
// run; nothing here jumps over them. Native operations may raise; finalizers must not.
#include <cstdarg>
#include <new>
#include <utility>

#include "script/runtime/engine.h"

namespace vexil::script {

// One protected call (or, later, one script try handler), innermost first in the engine's chain.
struct ErrorFrame {
  ErrorFrame* next = nullptr;
  Value* savedSp = nullptr;
  bool keepMessage = false;  // store the error text as a String value in `thrown`
  Value thrown;
};

// The exception that carries a runtime error to the innermost protected call.
struct RuntimeErrorUnwind {
  ErrorFrame* target;
};

// Writes the message buffer from a printf format, truncated to the buffer.
void setMessage(Engine& engine, const char* format, ...);
void setMessageV(Engine& engine, const char* format, va_list args);

// Formats the message, then raises it as a runtime error.
[[noreturn]] void raiseError(Engine& engine, const char* format, ...);
// Raises the message buffer's current text as a runtime error.
[[noreturn]] void raiseMessage(Engine& engine);
[[noreturn]] void raiseOutOfMemory(Engine& engine);

// Writes a warning to the message buffer and prints it through the trace output; no unwind.
void warn(Engine& engine, const char* format, ...);

// Runs body inside a protected call: true when it returned normally, false when a runtime error
// (or an exhausted system heap) unwound to it. Frames left by nested calls are dropped and the
// stack pointer is restored either way.
template <typename Body>
bool protectedCall(Engine& engine, Body&& body, ErrorFrame* frame = nullptr);

namespace detail {
void enterFrame(Engine& engine, ErrorFrame& frame);
void leaveFrame(Engine& engine, ErrorFrame& frame);
void failFromSystem(Engine& engine);
}  // namespace detail

template <typename Body>
bool protectedCall(Engine& engine, Body&& body, ErrorFrame* frame) {
  ErrorFrame local;
  ErrorFrame& f = frame ? *frame : local;
  detail::enterFrame(engine, f);
  bool ok = true;
  try {
    std::forward<Body>(body)();
  } catch (const RuntimeErrorUnwind& unwind) {
    if (unwind.target != &f) {
      detail::leaveFrame(engine, f);
      throw;
    }
    ok = false;
  } catch (const std::bad_alloc&) {
    detail::failFromSystem(engine);
    ok = false;
  }
  detail::leaveFrame(engine, f);
  return ok;
}

}  // namespace vexil::script
