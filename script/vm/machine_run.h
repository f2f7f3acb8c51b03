#pragma once
// The machine's state during one run. A run starts at a host entry (or when native code calls a
// script function back) and lives on the C++ stack of that call; runs nest, innermost first from
// the engine. Script calls inside a run do not nest C++ calls: they push frames on the value stack.
//
// Frame layout on the value stack (it grows downward; fp is the frame pointer):
//   fp + 1 + k  frame slot k: 0 this, 1 the argument count, 2 + i argument i
//   fp + 0      mark: the caller's frame pointer (null for the run's outermost frame)
//   fp - 1      mark: low word the count the caller passed, high word the slots PadArgs inserted
//   fp - 2      mark: the with-scope list (a ValueBlock), null until a with statement runs
//   fp - 3      mark: the return position in the caller's code
//   fp - 4 - n  local n
// The machine never lets script code pop into the mark slots or read frame slots beyond the ones
// the call passed, so the marks it reads back at Return are the ones it wrote.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "script/runtime/engine.h"
#include "script/runtime/runtime_error.h"
#include "script/vm/code_record.h"

namespace vexil::script {

inline constexpr uint32_t kFrameMarkSlots = 4;
// Free slots a frame needs below its marks when it is entered.
inline constexpr uint32_t kFrameSlack = 10;
// Taken backward jumps between two polls of the break hook, so that loops that never allocate can
// still be stopped by the host.
inline constexpr uint32_t kBackwardJumpsPerPoll = 1u << 16;

// A script try handler: a record in the engine's chain of error frames that the machine catches
// itself. Its error text, when a runtime error reaches it, arrives as a String in `thrown`.
struct TryHandler : ErrorFrame {
  Value* sp;
  Value* fp;
  const uint32_t* target;  // the catch code
  size_t codeDepth;        // frames of the run at EnterTry
  uint32_t frameSlots;
};

// A run's try handlers, innermost last, at addresses that stay put while the run lasts. The
// store is made on the first EnterTry, so that the many short runs of callbacks (a sort's compare
// function, a host event) cost no allocation.
class HandlerStack {
 public:
  using Store = std::deque<TryHandler>;
  bool empty() const { return !store_ || store_->empty(); }
  TryHandler& back() { return store_->back(); }
  const TryHandler& back() const { return store_->back(); }
  const TryHandler& front() const { return store_->front(); }
  void pop_back() { store_->pop_back(); }
  TryHandler& emplace_back() {
    if (!store_) store_ = std::make_unique<Store>();
    return store_->emplace_back();
  }
  Store::const_iterator begin() const { return store_ ? store_->cbegin() : Store::const_iterator(); }
  Store::const_iterator end() const { return store_ ? store_->cend() : Store::const_iterator(); }

 private:
  std::unique_ptr<Store> store_;
};

struct MachineRun {
  explicit MachineRun(Engine& engine);
  ~MachineRun();
  MachineRun(const MachineRun&) = delete;
  MachineRun& operator=(const MachineRun&) = delete;

  Engine& engine;
  MachineRun* outer;
  const uint32_t* pc = nullptr;       // the next word to run
  const uint32_t* current = nullptr;  // the opcode word of the instruction being run
  Value* fp = nullptr;
  uint32_t frameSlots = 0;            // frame slots of the current frame: this, count, arguments
  std::vector<CodeRecord*> codes;     // the code of each frame of this run, innermost last
  HandlerStack handlers;              // this run's try handlers, innermost last
  uint32_t pollCountdown = kBackwardJumpsPerPoll;

  CodeRecord* code() const { return codes.empty() ? nullptr : codes.back(); }
};

inline void setMark(Value& slot, const void* pointer) { slot.setPointer(Tag::FrameMark, pointer); }

inline void setArgumentMark(Value& slot, uint32_t passed, uint32_t inserted) {
  slot.setInteger(int64_t(uint64_t(inserted) << 32 | passed));
  slot.tag = Tag::FrameArgs;
}

// Writes the four marks of a new frame at fp (see the layout above).
inline void enterFrameMarks(Value* fp, const Value* callerFp, uint32_t passed, const uint32_t* back) {
  setMark(fp[0], callerFp);
  setArgumentMark(fp[-1], passed, 0);
  setMark(fp[-2], nullptr);
  setMark(fp[-3], back);
}

// The innermost run, or null.
inline MachineRun* innermostRun(const Engine& engine) { return engine.machineRun; }

// Mark-slot accessors.
inline Value* callerFrame(const Value* fp) { return static_cast<Value*>(fp[0].pointer()); }
inline uint32_t passedCount(const Value* fp) { return fp[-1].lowWord(); }
inline uint32_t insertedCount(const Value* fp) { return fp[-1].highWord(); }
inline const uint32_t* returnPosition(const Value* fp) { return static_cast<const uint32_t*>(fp[-3].pointer()); }

// Raised for code that would break the machine's invariants (never produced by the compiler).
[[noreturn]] void raiseBadCode(Engine& engine);

// Frames (frames.cpp). Each works on engine.sp and the run's registers.
// Enters a script frame for the callee slot at engine.sp + 1 (already holding `this`), whose code
// starts running at the next dispatch.
void enterFrame(MachineRun& run, CodeRecord* code);
// Leaves the current frame with the top value as its result; false when it was the run's
// outermost frame (the run ends).
bool leaveFrame(MachineRun& run);
void padArguments(MachineRun& run, uint32_t wanted);
// The argument count in the count slot, checked against the values the caller really pushed.
uint32_t checkedArgumentCount(MachineRun& run, const Value* countSlot);

// Calls (calls.cpp): [args..., count, callee] at the top of the stack.
void callValue(MachineRun& run);
void callMethod(MachineRun& run, Atom name);
void callName(MachineRun& run, Atom name);
void constructNew(MachineRun& run);

// With-scope lists (with_scopes.cpp).
void pushScope(MachineRun& run, const Value& scope);
void popScopes(MachineRun& run, uint32_t n);
// The with-scope values of the current frame, first added first.
Value* scopeValues(const MachineRun& run, uint32_t& count);
void pushVarScoped(MachineRun& run, Atom name, Value* out);
void setVarScoped(MachineRun& run, Atom name, const Value& value);
void deleteVarScoped(MachineRun& run, Atom name);
void deleteHeldNative(Value& slot);
void readGlobal(Engine& engine, Atom name, Value* out);

// Try handlers (try_handlers.cpp).
void enterTry(MachineRun& run, const uint32_t* target);
void popHandlers(MachineRun& run, uint32_t n);
// Throws the value at the top of the stack: to a handler of this run (the registers then point at
// its catch code), or by unwinding to a handler of an outer run or to the host boundary.
void throwValue(MachineRun& run);
// The run's own handler that an unwind targets, restored as the current state; false when the
// unwind is not for this run.
bool catchUnwind(MachineRun& run, const RuntimeErrorUnwind& unwind);
// Drops the handlers installed by frames that are returning.
void dropFrameHandlers(MachineRun& run);

// Records where the run stood when an unwind left it (once per unwind, at the innermost run).
void noteFailure(MachineRun& run, const RuntimeErrorUnwind& unwind);
// A handler caught the unwind: the next one is a new failure.
void forgetFailure();

// The dispatch loop (vm_dispatch.cpp): runs until the run's outermost frame returns or End.
void execute(MachineRun& run);

}  // namespace vexil::script
