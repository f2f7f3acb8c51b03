#include "script/runtime/runtime_error.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "script/runtime/messages.h"
#include "script/runtime/script_string.h"

namespace vexil::script {

void setMessageV(Engine& engine, const char* format, va_list args) {
  std::vsnprintf(engine.message, kMessageBufferSize, format, args);
}

void setMessage(Engine& engine, const char* format, ...) {
  va_list args;
  va_start(args, format);
  setMessageV(engine, format, args);
  va_end(args);
}

// The frame may want the text as a value (a script catch clause does). Building it allocates; when
// even that fails the frame gets no value, and the buffer still says what happened.
static void keepMessage(Engine& engine, ErrorFrame& frame) {
  frame.thrown.setUndefined();
  std::string text = engine.message;
  ErrorFrame* saved = engine.errorFrames;
  ErrorFrame guard;
  guard.next = saved;
  engine.errorFrames = &guard;
  try {
    frame.thrown = makeStringFromAnsi(engine, engine.message, std::strlen(engine.message));
  } catch (const RuntimeErrorUnwind&) {
    setMessage(engine, "%s", text.c_str());
  } catch (const std::bad_alloc&) {
    setMessage(engine, "%s", text.c_str());
  }
  engine.errorFrames = saved;
}

void raiseMessage(Engine& engine) {
  std::string held = engine.message;
  setMessage(engine, kRuntimeErrorFormat, held.c_str());
  ErrorFrame* frame = engine.errorFrames;
  if (frame && frame->keepMessage) keepMessage(engine, *frame);
  throw RuntimeErrorUnwind{frame};
}

void raiseError(Engine& engine, const char* format, ...) {
  va_list args;
  va_start(args, format);
  setMessageV(engine, format, args);
  va_end(args);
  raiseMessage(engine);
}

void raiseOutOfMemory(Engine& engine) {
  setMessage(engine, "%s", kOutOfMemory);
  raiseMessage(engine);
}

void warn(Engine& engine, const char* format, ...) {
  va_list args;
  va_start(args, format);
  setMessageV(engine, format, args);
  va_end(args);
  if (engine.traceOutput) {
    std::string line = engine.message;
    line += kWarningLineEnd;
    engine.traceOutput(engine.traceData, line.c_str());
  }
}

namespace detail {

void enterFrame(Engine& engine, ErrorFrame& frame) {
  frame.next = engine.errorFrames;
  frame.savedSp = engine.sp;
  engine.errorFrames = &frame;
}

// Frames of nested calls that an unwind skipped are dropped with this one.
void leaveFrame(Engine& engine, ErrorFrame& frame) {
  engine.errorFrames = frame.next;
  engine.sp = frame.savedSp;
}

void failFromSystem(Engine& engine) {
  setMessage(engine, kRuntimeErrorFormat, kOutOfMemory);
}

}  // namespace detail

}  // namespace vexil::script
