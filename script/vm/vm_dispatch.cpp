// The interpreter loop: the one long function of the machine. Every case is a few lines; anything
// longer is a call to a named helper. Registers (pc, sp, fp, slots) live in locals and are written
// back to the run and the engine (SAVE) before anything that may raise, collect, run script or
// call a native, and read back (LOAD) after anything that may change frames.
//
// The loader has checked every opcode and jump target, so dispatch needs no range checks. Stack
// discipline is still checked where it is cheap: NEED(k) refuses to pop into the frame's marks and
// ROOM(k) refuses to push past the end of the stack, so malformed code fails with a runtime error
// instead of corrupting the machine.
#include <cstring>

#include "script/compiler/opcodes.h"
#include "script/runtime/collector.h"
#include "script/runtime/conversions.h"
#include "script/runtime/messages.h"
#include "script/runtime/operators.h"
#include "script/runtime/property_table.h"
#include "script/runtime/script_function.h"
#include "script/runtime/script_string.h"
#include "script/vm/fused_execution.h"
#include "script/vm/machine_run.h"
#include "script/vm/number_fast_paths.h"
#include "script/vm/properties.h"

// Computed goto where the compiler has it; VEXIL_SWITCH_DISPATCH builds the plain switch instead,
// so the two can be measured against each other.
#if defined(__GNUC__) && !defined(VEXIL_SWITCH_DISPATCH)
#define VEXIL_COMPUTED_GOTO 1
#else
#define VEXIL_COMPUTED_GOTO 0
#endif

namespace vexil::script {

namespace {

// The type names typeof answers with, by tag.
const char16_t* const kTypeNames[kTagCount] = {
    u"undefined", u"object", u"boolean", u"number", u"string", u"number", u"object", u"object",
    u"",          u"",       u"",        u"object", u"function", u"number", u"",     u""};

Value typeName(Engine& engine, Tag tag) {
  int code = int(tag);
  const char16_t* text = code >= 0 && code < kTagCount ? kTypeNames[code] : u"";
  return makeStaticString(engine, text, std::char_traits<char16_t>::length(text));
}

// Every so many backward jumps the host's break hook is asked whether the script may go on.
void pollBreakHook(MachineRun& run) {
  Engine& engine = run.engine;
  run.pollCountdown = kBackwardJumpsPerPoll;
  if (!engine.collectionHook) return;
  if (int answer = engine.collectionHook(2, engine.collectionHookData)) raiseError(engine, kHookBreakFormat, answer);
}

// The end of a run: collect when due, without asking the break hook about a run that is over.
void finishRun(Engine& engine) {
  if (collectionDue(engine)) collectGarbage(engine, engine.sp);
}

void dispatch(MachineRun& run) {
  Engine& engine = run.engine;
  const uint32_t* pc;
  const uint32_t* ip = run.current;
  Value* sp;
  Value* fp;
  uint32_t slots;
  Value* const stackBase = engine.stack;  // the stack block never moves

#define SAVE() (engine.sp = sp, run.pc = pc, run.fp = fp, run.frameSlots = slots, run.current = ip)
#define LOAD() (sp = engine.sp, pc = run.pc, fp = run.fp, slots = run.frameSlots)
#define NEED(k)                                                   \
  do {                                                            \
    if (sp + (k) > fp - kFrameMarkSlots) [[unlikely]] goto badCode; \
  } while (0)
#define ROOM(k)                                                      \
  do {                                                               \
    if (sp < stackBase + ptrdiff_t(k)) [[unlikely]] goto overflow;   \
  } while (0)
#define TOP (sp[1])
#define PUSH(v) (*sp-- = (v))
#define OPERAND() (*pc++)
#define JUMP_BY(d)                                                                          \
  do {                                                                                      \
    int32_t distance_ = int32_t(d);                                                         \
    pc += distance_;                                                                        \
    if (distance_ < 0 && --run.pollCountdown == 0) { SAVE(); pollBreakHook(run); }          \
  } while (0)
#define BINARY_SLOW(op) \
  do {                  \
    SAVE();             \
    op(engine, sp[2], sp[1], &sp[2]); \
    ++sp;               \
  } while (0)
#define INTEGER_BINARY(expr, op)                                         \
  NEED(2);                                                               \
  if (sp[1].tag == Tag::Integer && sp[2].tag == Tag::Integer) {          \
    int64_t a = sp[2].integer(), b = sp[1].integer();                    \
    sp[2].setInteger(expr);                                              \
    ++sp;                                                                \
  } else {                                                               \
    BINARY_SLOW(op);                                                     \
  }
// Arithmetic and comparisons on plain numbers take the fast paths; anything else goes to the
// general operator.
#define NUMBER_BINARY(code, op)                                          \
  NEED(2);                                                               \
  if (numberArithmetic<Opcode::code>(sp[2], sp[1], sp[2])) {            \
    ++sp;                                                                \
  } else {                                                               \
    BINARY_SLOW(op);                                                     \
  }
#define COMPARE(code, op)                                                \
  NEED(2);                                                               \
  if (bool r_ = false; numberComparison<Opcode::code>(sp[2], sp[1], r_)) { \
    sp[2].setBoolean(r_);                                                \
    ++sp;                                                                \
  } else {                                                               \
    BINARY_SLOW(op);                                                     \
  }

#if VEXIL_COMPUTED_GOTO
#define VEXIL_LABEL_ADDRESS(code, name, form, effect) &&op_##name,
#define VEXIL_FUSED_ADDRESS(name, left, right, op, tail) &&fused_##name,
  static const void* const kTargets[kMachineCodeCount] = {VEXIL_OPCODES(VEXIL_LABEL_ADDRESS)
                                                              VEXIL_FUSED_INSTRUCTIONS(VEXIL_FUSED_ADDRESS)};
#undef VEXIL_FUSED_ADDRESS
#undef VEXIL_LABEL_ADDRESS
#define CASE(name) op_##name:
#define FUSED_CASE(name) fused_##name:
#define NEXT()                                   \
  do {                                           \
    ip = pc;                                     \
    goto* kTargets[*pc++ - kFirstOpcode];        \
  } while (0)
#define DISPATCH() NEXT()
#else
// The fused instructions fall back to their first instruction by label.
#pragma GCC diagnostic ignored "-Wunused-label"
#define CASE(name) case Opcode::name: op_##name:
#define FUSED_CASE(name) case Opcode(FusedCode::name):
#define NEXT() goto next
#define DISPATCH() \
  next:            \
  ip = pc;         \
  switch (Opcode(*pc++))
#endif

  LOAD();
#if VEXIL_COMPUTED_GOTO
  DISPATCH();
#else
  DISPATCH() {
#endif

  CASE(CallName) {
    Atom name = Atom(OPERAND());
    NEED(2);
    SAVE();
    callName(run, name);
    LOAD();
    NEXT();
  }
  CASE(PushVarScoped) {
    Atom name = Atom(OPERAND());
    ROOM(1);
    PUSH(Value());
    SAVE();
    pushVarScoped(run, name, sp + 1);
    NEXT();
  }
  CASE(AddTwo) {
    NEED(1);
    if (TOP.tag == Tag::Integer) {
      TOP.setInteger(wrapInteger(uint64_t(TOP.integer()) + 2));
    } else {
      SAVE();
      opAdd(engine, TOP, Value::fromInteger(2), &TOP);
    }
    NEXT();
  }
  CASE(Increment) {
    NEED(1);
    if (TOP.tag == Tag::Integer) {
      TOP.setInteger(wrapInteger(uint64_t(TOP.integer()) + 1));
    } else {
      SAVE();
      opAdd(engine, TOP, Value::fromInteger(1), &TOP);
    }
    NEXT();
  }
  CASE(JumpIfTrueFast) {
    uint32_t d = OPERAND();
    NEED(1);
    bool taken = (sp++)[1].boolean();
    if (taken) JUMP_BY(d);
    NEXT();
  }
  CASE(JumpIfFalseFast) {
    uint32_t d = OPERAND();
    NEED(1);
    bool taken = !(sp++)[1].boolean();
    if (taken) JUMP_BY(d);
    NEXT();
  }
  CASE(Throw) {
    NEED(1);
    SAVE();
    throwValue(run);
    LOAD();
    NEXT();
  }
  CASE(PopHandlers) {
    uint32_t n = OPERAND() & 0xFF;
    SAVE();
    popHandlers(run, n);
    NEXT();
  }
  CASE(EnterTry) {
    int32_t d = int32_t(OPERAND());
    SAVE();
    enterTry(run, pc + d);
    NEXT();
  }
  CASE(PopScopes) {
    uint32_t n = OPERAND() & 0xFF;
    SAVE();
    popScopes(run, n);
    NEXT();
  }
  CASE(PushScope) {
    NEED(1);
    SAVE();
    pushScope(run, TOP);
    ++sp;
    NEXT();
  }
  CASE(PushArgN) {
    NEED(1);
    if (TOP.tag != Tag::Integer || TOP.integer() < 0 || TOP.integer() >= int64_t(slots)) goto badCode;
    TOP = fp[1 + TOP.integer()];
    NEXT();
  }
  CASE(PadArgs) {
    uint32_t wanted = OPERAND() & 0xFF;
    NEED(1);
    ++sp;
    if (wanted > slots) {
      SAVE();
      padArguments(run, wanted - slots);
      LOAD();
    }
    NEXT();
  }
  CASE(ReserveLocals) {
    uint32_t n = OPERAND() & 0xFFFF;
    if (sp - engine.stack < ptrdiff_t(n + kFrameSlack)) goto overflow;
    while (n-- > 0) PUSH(Value());
    NEXT();
  }
  CASE(DeleteElement) {
    NEED(2);
    SAVE();
    deleteElement(engine, &sp[2], &sp[1]);
    ++sp;
    TOP.setUndefined();
    NEXT();
  }
  CASE(DeleteProperty) {
    Atom name = Atom(OPERAND());
    NEED(1);
    SAVE();
    deleteProperty(engine, TOP, name);
    TOP.setUndefined();
    NEXT();
  }
  CASE(New) {
    NEED(2);
    SAVE();
    constructNew(run);
    LOAD();
    NEXT();
  }
  CASE(TypeOf) {
    NEED(1);
    SAVE();
    TOP = typeName(engine, TOP.tag);
    NEXT();
  }
  CASE(Return) {
    NEED(1);
    // The common return: to a caller of this run, no argument slots to take out, no try handler
    // of the run open. Anything else goes through leaveFrame.
    if (Value* caller = callerFrame(fp); caller && insertedCount(fp) == 0 &&
        (run.handlers.empty() || run.handlers.back().fp != fp)) {
      const uint32_t* back = returnPosition(fp);
      fp[0] = TOP;
      sp = fp - 1;
      run.codes.pop_back();
      fp = caller;
      slots = 2 + passedCount(caller) + insertedCount(caller);
      pc = back;
      NEXT();
    }
    SAVE();
    if (!leaveFrame(run)) {
      finishRun(engine);
      return;
    }
    LOAD();
    NEXT();
  }
  CASE(CallValue) {
    NEED(2);
    // A script function called with a well-formed count enters its frame here; natives, bad
    // counts and a stack near its end take the general path.
    if (sp[1].tag == Tag::Function && sp[2].tag == Tag::Integer && fp) {
      int64_t passed = sp[2].integer();
      if (passed >= 0 && passed <= (fp - kFrameMarkSlots) - (sp + 2) &&
          sp - engine.stack >= ptrdiff_t(kFrameMarkSlots + kFrameSlack)) {
        CodeRecord* code = sp[1].function()->code;
        run.codes.push_back(code);
        sp[1] = Value::null();
        enterFrameMarks(sp, fp, uint32_t(passed), pc);
        fp = sp;
        sp = fp - kFrameMarkSlots;
        slots = 2 + uint32_t(passed);
        pc = code->words;
        if (collectionDue(engine)) {
          SAVE();
          collectionPoint(engine);
        }
        NEXT();
      }
    }
    SAVE();
    callValue(run);
    LOAD();
    NEXT();
  }
  CASE(Jump) {
    uint32_t d = OPERAND();
    JUMP_BY(d);
    NEXT();
  }
  CASE(CallMethod) {
    Atom name = Atom(OPERAND());
    NEED(2);
    SAVE();
    callMethod(run, name);
    LOAD();
    NEXT();
  }
  CASE(JumpIfTrue) {
    uint32_t d = OPERAND();
    NEED(1);
    Value v = (sp++)[1];
    bool taken = v.tag == Tag::Boolean ? v.boolean() : (SAVE(), valueToBoolean(engine, v));
    if (taken) JUMP_BY(d);
    NEXT();
  }
  CASE(JumpIfFalse) {
    uint32_t d = OPERAND();
    NEED(1);
    Value v = (sp++)[1];
    bool taken = v.tag == Tag::Boolean ? !v.boolean() : (SAVE(), !valueToBoolean(engine, v));
    if (taken) JUMP_BY(d);
    NEXT();
  }
  CASE(ShiftRightUnsigned) {
    NEED(2);
    BINARY_SLOW(opShiftRightUnsigned);
    NEXT();
  }
  CASE(ShiftRight) {
    NEED(2);
    BINARY_SLOW(opShiftRight);
    NEXT();
  }
  CASE(ShiftLeft) {
    NEED(2);
    if (sp[1].tag == Tag::Integer && sp[2].tag == Tag::Integer && uint64_t(sp[1].integer()) < 64) {
      sp[2].setInteger(wrapInteger(uint64_t(sp[2].integer()) << sp[1].integer()));
      ++sp;
    } else {
      BINARY_SLOW(opShiftLeft);
    }
    NEXT();
  }
  CASE(BitXor) {
    INTEGER_BINARY(a ^ b, opBitXor);
    NEXT();
  }
  CASE(BitOr) {
    INTEGER_BINARY(a | b, opBitOr);
    NEXT();
  }
  CASE(Not) {
    NEED(1);
    if (TOP.tag == Tag::Boolean) {
      TOP.setBoolean(!TOP.boolean());
    } else {
      SAVE();
      opNot(engine, TOP, &TOP);
    }
    NEXT();
  }
  CASE(BitAnd) {
    INTEGER_BINARY(a & b, opBitAnd);
    NEXT();
  }
  CASE(Negate) {
    NEED(1);
    SAVE();
    opNegate(engine, TOP, &TOP);
    NEXT();
  }
  CASE(Mod) {
    NEED(2);
    // A positive integer divisor: C++'s remainder is the operator's (zero and -1 are its cases).
    if (sp[1].tag == Tag::Integer && sp[2].tag == Tag::Integer && sp[1].integer() > 0) {
      sp[2].setInteger(sp[2].integer() % sp[1].integer());
      ++sp;
    } else {
      BINARY_SLOW(opModulo);
    }
    NEXT();
  }
  CASE(Div) {
    NEED(2);
    // Division by a zero (of either sign) and by NaN keeps to the general operator.
    if (isPlainNumber(sp[1]) && isPlainNumber(sp[2]) && plainDouble(sp[1]) != 0 && plainDouble(sp[1]) == plainDouble(sp[1])) {
      sp[2] = numberFromReal(plainDouble(sp[2]) / plainDouble(sp[1]));
      ++sp;
    } else {
      BINARY_SLOW(opDivide);
    }
    NEXT();
  }
  CASE(Mul) {
    NUMBER_BINARY(Mul, opMultiply);
    NEXT();
  }
  CASE(Add) {
    NUMBER_BINARY(Add, opAdd);
    NEXT();
  }
  CASE(Sub) {
    NUMBER_BINARY(Sub, opSubtract);
    NEXT();
  }
  CASE(StrictNotEqual) {
    NEED(2);
    sp[2].setBoolean(!strictEquals(sp[2], sp[1]));
    ++sp;
    NEXT();
  }
  CASE(StrictEqual) {
    NEED(2);
    sp[2].setBoolean(strictEquals(sp[2], sp[1]));
    ++sp;
    NEXT();
  }
  CASE(GreaterEqual) {
    COMPARE(GreaterEqual, opGreaterEqual);
    NEXT();
  }
  CASE(LessEqual) {
    COMPARE(LessEqual, opLessEqual);
    NEXT();
  }
  CASE(Greater) {
    COMPARE(Greater, opGreater);
    NEXT();
  }
  CASE(Less) {
    COMPARE(Less, opLess);
    NEXT();
  }
  CASE(NotEqual) {
    COMPARE(NotEqual, opNotEqual);
    NEXT();
  }
  CASE(Equal) {
    COMPARE(Equal, opEqual);
    NEXT();
  }
  CASE(ForInNext) {
    NEED(2);
    SAVE();
    Value item;
    bool more = TOP.tag == Tag::Integer && forInItem(engine, sp[2], TOP.integer(), &item);
    sp[2] = item;
    sp[1].setBoolean(more);
    NEXT();
  }
  CASE(SetElement) {
    NEED(3);
    SAVE();
    writeElement(engine, &sp[2], &sp[1], sp[3]);
    sp += 3;
    SAVE();
    collectionPoint(engine);
    NEXT();
  }
  CASE(GetElement) {
    NEED(2);
    SAVE();
    Value out;
    readElement(engine, &sp[2], &sp[1], &out);
    ++sp;
    TOP = out;
    NEXT();
  }
  CASE(SetProperty) {
    Atom name = Atom(OPERAND());
    NEED(2);
    // An Object's own field is overwritten in place (names from the loader are never the hole mark).
    if (sp[1].tag == Tag::Object) {
      if (PropertyEntry* entry = ownEntry(sp[1].table(), name)) {
        entry->value = sp[2];
        sp += 2;
        if (collectionDue(engine)) {
          SAVE();
          collectionPoint(engine);
        }
        NEXT();
      }
    }
    SAVE();
    writeProperty(engine, &sp[1], name, sp[2]);
    sp += 2;
    SAVE();
    collectionPoint(engine);
    NEXT();
  }
  CASE(GetProperty) {
    Atom name = Atom(OPERAND());
    NEED(1);
    if (TOP.tag == Tag::Object) {
      if (const PropertyEntry* entry = ownEntry(TOP.table(), name)) {
        TOP = entry->value;
        NEXT();
      }
    }
    SAVE();
    Value out;
    readProperty(engine, &TOP, name, &out);
    TOP = out;
    NEXT();
  }
  CASE(SetLocal) {
    uint32_t n = OPERAND() & 0xFFFF;
    NEED(1);
    Value* local = fp - ptrdiff_t(kFrameMarkSlots) - ptrdiff_t(n);
    if (local <= sp + 1) goto badCode;  // a local lies above the operands
    *local = TOP;
    ++sp;
    NEXT();
  }
  CASE(GetLocal) {
    uint32_t n = OPERAND() & 0xFFFF;
    ROOM(1);
    const Value* local = fp - ptrdiff_t(kFrameMarkSlots) - ptrdiff_t(n);
    if (local <= sp) goto badCode;
    Value v = *local;
    PUSH(v);
    NEXT();
  }
  CASE(SetArg) {
    uint32_t k = OPERAND() & 0xFF;
    NEED(1);
    if (k >= slots) goto badCode;
    fp[1 + k] = TOP;
    ++sp;
    NEXT();
  }
  CASE(GetArg) {
    uint32_t k = OPERAND() & 0xFF;
    ROOM(1);
    if (k >= slots) goto badCode;
    Value v = fp[1 + k];
    PUSH(v);
    NEXT();
  }
  CASE(SetGlobal) {
    Atom name = Atom(OPERAND());
    NEED(1);
    Value& slot = engine.globals.data[name];
    if (TOP.tag == Tag::Undefined) {
      slot.setUndefined();
    } else {
      slot = TOP;
    }
    ++sp;
    NEXT();
  }
  CASE(GetGlobal) {
    Atom name = Atom(OPERAND());
    ROOM(1);
    const Value& v = engine.globals.data[name];
    if (v.tag == Tag::Undefined) {
      PUSH(Value());
      SAVE();
      readGlobal(engine, name, sp + 1);
    } else {
      PUSH(v);
    }
    NEXT();
  }
  CASE(PushInt) {
    int32_t v = int32_t(OPERAND());
    ROOM(1);
    PUSH(Value::fromInteger(v));
    NEXT();
  }
  CASE(PushThree) {
    ROOM(1);
    PUSH(Value::fromInteger(3));
    NEXT();
  }
  CASE(PushTwo) {
    ROOM(1);
    PUSH(Value::fromInteger(2));
    NEXT();
  }
  CASE(PushOne) {
    ROOM(1);
    PUSH(Value::fromInteger(1));
    NEXT();
  }
  CASE(PushZero) {
    ROOM(1);
    PUSH(Value::fromInteger(0));
    NEXT();
  }
  CASE(PushUndefined) {
    ROOM(1);
    PUSH(Value());
    NEXT();
  }
  CASE(PushFalse) {
    ROOM(1);
    PUSH(Value::fromBoolean(false));
    NEXT();
  }
  CASE(PushTrue) {
    ROOM(1);
    PUSH(Value::fromBoolean(true));
    NEXT();
  }
  CASE(PushNull) {
    ROOM(1);
    PUSH(Value::null());
    NEXT();
  }
  CASE(PushConst) {
    uint32_t index = OPERAND();
    ROOM(1);
    PUSH(engine.constants.data[index]);
    NEXT();
  }
  CASE(Roll) {
    int32_t n = int32_t(OPERAND());
    if (n >= 2) {
      NEED(n);
      Value v = sp[1];
      std::memmove(sp + 1, sp + 2, size_t(n - 1) * sizeof(Value));
      sp[n] = v;
    } else if (n <= -2) {
      NEED(-n);
      Value v = sp[-n];
      std::memmove(sp + 2, sp + 1, size_t(-n - 1) * sizeof(Value));
      sp[1] = v;
    }
    NEXT();
  }
  CASE(Swap) {
    NEED(2);
    Value v = sp[1];
    sp[1] = sp[2];
    sp[2] = v;
    NEXT();
  }
  CASE(Collapse) {
    uint32_t n = OPERAND() & 0xFF;
    NEED(n + 1);
    Value v = TOP;
    sp += n;
    TOP = v;
    NEXT();
  }
  CASE(PopN) {
    uint32_t n = OPERAND() & 0xFF;
    NEED(n);
    sp += n;
    NEXT();
  }
  CASE(Pop) {
    NEED(1);
    ++sp;
    NEXT();
  }
  CASE(Dup) {
    NEED(1);
    ROOM(1);
    Value v = TOP;
    PUSH(v);
    NEXT();
  }
  CASE(Nop) { NEXT(); }

  // Fused sequences: the fast path of the whole sequence, or its first instruction.
#define VEXIL_FUSED_HANDLER(name, left, right, op, tail)                                              \
  FUSED_CASE(name) {                                                                                 \
    int32_t distance = 0;                                                                            \
    FusedOutcome outcome = runFused<FusedSource::left, FusedSource::right, Opcode::op, FusedTail::tail>( \
        FusedRegisters{pc, sp, fp, slots, stackBase, engine.constants.data, engine.globals.data}, distance); \
    if (outcome == FusedOutcome::Next) NEXT();                                                       \
    if (outcome == FusedOutcome::Jump) {                                                             \
      JUMP_BY(distance);                                                                             \
      NEXT();                                                                                        \
    }                                                                                                \
    constexpr FusedSource first = fused::firstSource(FusedSource::left, FusedSource::right);        \
    if constexpr (first == FusedSource::Local) goto op_GetLocal;                                     \
    if constexpr (first == FusedSource::Global) goto op_GetGlobal;                                   \
    goto op_PushConst;                                                                               \
  }
  VEXIL_FUSED_INSTRUCTIONS(VEXIL_FUSED_HANDLER)
#undef VEXIL_FUSED_HANDLER
  CASE(End) {
    SAVE();
    engine.lastResult = sp + 1 <= fp - kFrameMarkSlots ? TOP : Value();
    finishRun(engine);
    return;
  }
  CASE(Halt) { goto badCode; }
  CASE(SetVarScoped) {
    Atom name = Atom(OPERAND());
    NEED(1);
    SAVE();
    setVarScoped(run, name, TOP);
    ++sp;
    NEXT();
  }
  CASE(DeleteVarScoped) {
    Atom name = Atom(OPERAND());
    NEED(1);
    SAVE();
    deleteVarScoped(run, name);
    TOP.setUndefined();
    NEXT();
  }
  CASE(DeleteGlobal) {
    Atom name = Atom(OPERAND());
    NEED(1);
    deleteHeldNative(engine.globals.data[name]);
    TOP.setUndefined();
    NEXT();
  }
  CASE(DeleteLocal) {
    uint32_t n = OPERAND() & 0xFFFF;
    NEED(1);
    if (ptrdiff_t(n) >= (fp - sp) - ptrdiff_t(kFrameMarkSlots + 1)) goto badCode;
    deleteHeldNative(fp[-ptrdiff_t(kFrameMarkSlots) - ptrdiff_t(n)]);
    TOP.setUndefined();
    NEXT();
  }
  CASE(DeleteArg) {
    uint32_t k = OPERAND() & 0xFF;
    NEED(1);
    if (k >= slots) goto badCode;
    deleteHeldNative(fp[1 + k]);
    TOP.setUndefined();
    NEXT();
  }
#if !VEXIL_COMPUTED_GOTO
  default: goto badCode;
  }
#endif

badCode:
  SAVE();
  raiseBadCode(engine);
overflow:
  SAVE();
  raiseError(engine, "%s", kStackOverflow);

#undef SAVE
#undef LOAD
#undef NEED
#undef ROOM
#undef TOP
#undef PUSH
#undef OPERAND
#undef JUMP_BY
#undef BINARY_SLOW
#undef INTEGER_BINARY
#undef COMPARE
#undef NUMBER_BINARY
#undef CASE
#undef FUSED_CASE
#undef NEXT
#undef DISPATCH
}

}  // namespace

void execute(MachineRun& run) {
  for (;;) {
    try {
      dispatch(run);
      return;
    } catch (const RuntimeErrorUnwind& unwind) {
      if (catchUnwind(run, unwind)) {
        forgetFailure();
        continue;
      }
      noteFailure(run, unwind);
      throw;
    }
  }
}

}  // namespace vexil::script
