// Try handlers: records in the engine's chain of error frames that the machine itself catches.
// A throw to a handler of the running run is a plain jump; a throw or runtime error meant for a
// handler of an outer run (a native called the script back) unwinds the C++ stack to that run.
// A host boundary (a protected call) as the innermost record stops the throw there with the
// thrown value's text in the message buffer.
#include <algorithm>
#include <cstring>
#include <string>

#include "script/runtime/conversions.h"
#include "script/runtime/messages.h"
#include "script/runtime/script_string.h"
#include "script/vm/machine_run.h"

namespace vexil::script {

namespace {

bool ownsHandler(const MachineRun& run, const ErrorFrame* frame) {
  for (const TryHandler& handler : run.handlers)
    if (&handler == frame) return true;
  return false;
}

// The handler behind an error frame, when the frame is one.
TryHandler* scriptHandler(const Engine& engine, ErrorFrame* frame) {
  for (MachineRun* run = innermostRun(engine); run; run = run->outer)
    if (ownsHandler(*run, frame)) return static_cast<TryHandler*>(frame);
  return nullptr;
}

// Resumes at the handler, which must be this run's: the stack, the frame and the frames' code
// are cut back to where EnterTry left them and the thrown value is pushed.
void resumeAt(MachineRun& run, TryHandler* handler) {
  Engine& engine = run.engine;
  Value thrown = handler->thrown;
  while (!run.handlers.empty() && &run.handlers.back() != handler) run.handlers.pop_back();
  engine.errorFrames = handler->next;
  engine.sp = handler->sp;
  run.fp = handler->fp;
  run.frameSlots = handler->frameSlots;
  run.pc = handler->target;
  run.codes.resize(std::min(run.codes.size(), handler->codeDepth));
  run.handlers.pop_back();
  *engine.sp-- = thrown;
}

void copyThrownText(Engine& engine, const Value& thrown) {
  Value text;
  valueToString(engine, thrown, &text);
  std::string ansi = stringToAnsiText(*text.string());
  setMessage(engine, "%s", ansi.c_str());
}

}  // namespace

void enterTry(MachineRun& run, const uint32_t* target) {
  Engine& engine = run.engine;
  TryHandler& handler = run.handlers.emplace_back();
  handler.next = engine.errorFrames;
  handler.savedSp = engine.sp;
  handler.keepMessage = true;
  handler.sp = engine.sp;
  handler.fp = run.fp;
  handler.target = target;
  handler.codeDepth = run.codes.size();
  handler.frameSlots = run.frameSlots;
  engine.errorFrames = &handler;
}

// Only this run's handlers, and only while they are the innermost records.
void popHandlers(MachineRun& run, uint32_t n) {
  Engine& engine = run.engine;
  while (n-- > 0 && !run.handlers.empty() && engine.errorFrames == &run.handlers.back()) {
    engine.errorFrames = run.handlers.back().next;
    run.handlers.pop_back();
  }
}

void dropFrameHandlers(MachineRun& run) {
  Engine& engine = run.engine;
  while (!run.handlers.empty() && run.handlers.back().fp == run.fp && engine.errorFrames == &run.handlers.back()) {
    engine.errorFrames = run.handlers.back().next;
    run.handlers.pop_back();
  }
}

void throwValue(MachineRun& run) {
  Engine& engine = run.engine;
  Value thrown = engine.sp[1];
  ErrorFrame* innermost = engine.errorFrames;
  TryHandler* handler = scriptHandler(engine, innermost);
  if (!handler) {
    copyThrownText(engine, thrown);
    throw RuntimeErrorUnwind{innermost};
  }
  handler->thrown = thrown;
  if (ownsHandler(run, handler)) return resumeAt(run, handler);
  throw RuntimeErrorUnwind{handler};
}

bool catchUnwind(MachineRun& run, const RuntimeErrorUnwind& unwind) {
  if (!unwind.target || !ownsHandler(run, unwind.target)) return false;
  resumeAt(run, static_cast<TryHandler*>(unwind.target));
  return true;
}

}  // namespace vexil::script
