// The machine's host-facing behaviour: entries restore the stack and the handler chain, throws
// reach the right handler across native callbacks, runaway code is stopped, malformed stack use
// fails cleanly, and error reports know where the code stands.
#include "script/runtime/call_entries.h"
#include "script/runtime/native_class.h"
#include "script/runtime/runtime_error.h"
#include "script/vm/vm_messages.h"
#include "vm_assembler.h"
#include "vm_fixture.h"

namespace vexil::script::test {
namespace {

using MachineTest = VmTest;

TEST_F(MachineTest, HostEntriesRestoreTheStackAndHandlersOnEveryExit) {
  ASSERT_TRUE(run("function ok(a) { return a + 1; } function bad() { try { throw 1; } finally { } }"));
  Value* sp = engine().sp;
  ErrorFrame* frames = engine().errorFrames;
  Value args[] = {Value::fromInteger(1), Value::fromInteger(41)};
  EXPECT_TRUE(callGlobal(engine(), "ok", args));
  EXPECT_EQ(engine().lastResult.integer(), 42);
  EXPECT_EQ(engine().sp, sp);
  EXPECT_FALSE(callGlobal(engine(), "bad", nullptr));
  EXPECT_STREQ(engine().message, "1");
  EXPECT_EQ(engine().sp, sp);
  EXPECT_EQ(engine().errorFrames, frames);
  EXPECT_FALSE(run("trace(1); throw \"left on the stack\";"));
  EXPECT_EQ(engine().sp, sp);
  EXPECT_EQ(engine().errorFrames, frames);
}

TEST_F(MachineTest, UncaughtThrowLeavesItsTextAndFails) {
  EXPECT_FALSE(run("throw \"boom\";"));
  EXPECT_EQ(message(), "boom");
  EXPECT_FALSE(run("throw 12;"));
  EXPECT_EQ(message(), "12");
}

// A native that calls its script-function argument back directly, with no boundary of its own.
void callBack(Engine& engine, NativeClass*, void*, Value* result, const Value* block) {
  Value none[] = {Value::fromInteger(0)};
  engine.entries.runFunction(engine, nullptr, block[1].function(), none, 1);
  *result = engine.lastResult;
}

TEST_F(MachineTest, ThrowsAndErrorsInACallbackReachTheHandlerAroundTheNative) {
  defineFunction(engine(), "callBack", callBack);
  ASSERT_TRUE(run("function thrower() { throw \"from the callback\"; }\n"
                  "function deep() { return deep(); }\n"
                  "function fine() { return \"fine\"; }\n"
                  "var r = []; var i = 0;\n"
                  "try { callBack(thrower); r[i++] = \"not caught\"; } catch (e) { r[i++] = e; }\n"
                  "try { callBack(deep); } catch (e) { r[i++] = e; }\n"
                  "r[i++] = callBack(fine);\n"
                  "trace(r[0], \"|\", r[1], \"|\", r[2]);"));
  EXPECT_EQ(trace_, "from the callback|Runtime error: stack overflow|fine\r\n");
}

TEST_F(MachineTest, StackOverflowIsARuntimeErrorScriptsCanCatch) {
  EXPECT_FALSE(run("function down(n) { return down(n + 1); } down(0);"));
  EXPECT_EQ(message(), "Runtime error: stack overflow");
  ASSERT_TRUE(run("function down2(n) { return down2(n + 1); } var caught; try { down2(0); } catch (e) { caught = e; }"
                  " caught"));
  ASSERT_EQ(engine().lastResult.tag, Tag::String);
}

int stopAfter(int, void* data) {
  int& calls = *static_cast<int*>(data);
  return ++calls >= 3 ? 7 : 0;
}

TEST_F(MachineTest, BreakHookStopsALoopThatNeverAllocates) {
  int calls = 0;
  engine().collectionHook = stopAfter;
  engine().collectionHookData = &calls;
  EXPECT_FALSE(run("while (true) { }"));
  EXPECT_EQ(message(), "Runtime error: hook break 7");
  EXPECT_EQ(calls, 3);
}

TEST_F(MachineTest, BreakHookAfterCollectionsStopsAnAllocatingLoop) {
  int calls = 0;
  engine().collectorStress = true;
  engine().collectionHook = stopAfter;
  engine().collectionHookData = &calls;
  EXPECT_FALSE(run("var s = \"\"; for (;;) { s = s + \"x\"; var o = {a: s}; }"));
  EXPECT_EQ(message(), "Runtime error: hook break 7");
}

TEST_F(MachineTest, MalformedStackUseFailsInsteadOfCorruptingTheMachine) {
  const std::string unimplemented = std::string("Runtime error: ") + kUnimplementedBytecode;
  struct Case {
    const char* what;
    Opcode code;
    int64_t operand;
  } cases[] = {
      {"pop past the frame", Opcode::Pop, 0},
      {"collapse past the frame", Opcode::Collapse, 5},
      {"argument beyond the frame", Opcode::GetArg, 9},
      {"local never reserved", Opcode::GetLocal, 3},
      {"roll past the frame", Opcode::Roll, -4},
      {"return with nothing", Opcode::Return, 0},
  };
  for (const Case& c : cases) {
    VmAssembler a;
    a.function(".main").op(c.code, c.operand);
    EXPECT_FALSE(runBytes(a.build())) << c.what;
    EXPECT_EQ(message(), unimplemented) << c.what;
  }
  VmAssembler calls;
  uint32_t trace = calls.name("trace");
  calls.function(".main").op(Opcode::PushInt, 50).op(Opcode::GetGlobal, trace).op(Opcode::CallValue);
  EXPECT_FALSE(runBytes(calls.build()));
  EXPECT_EQ(message(), unimplemented);
}

TEST_F(MachineTest, PushingPastTheStackIsAStackOverflow) {
  VmAssembler a;
  a.function(".main").label("top").op(Opcode::PushOne).jump(Opcode::Jump, "top");
  EXPECT_FALSE(runBytes(a.build()));
  EXPECT_EQ(message(), "Runtime error: stack overflow");
}

struct Where {
  std::string function;
  std::string source;
  int32_t line = -1;
};

void recordWhere(Engine& engine, NativeClass*, void*, Value* result, const Value*) {
  auto* where = static_cast<Where*>(engine.userWord ? reinterpret_cast<void*>(engine.userWord) : nullptr);
  result->setUndefined();
  if (!where) return;
  where->function = engine.entries.currentFunctionName(engine);
  SourcePosition position = engine.entries.currentSourcePosition(engine);
  where->source = position.sourceName ? position.sourceName : "";
  where->line = position.line;
}

TEST_F(MachineTest, CurrentFunctionAndPositionNameTheRunningCode) {
  Where where;
  engine().userWord = reinterpret_cast<uintptr_t>(&where);
  defineFunction(engine(), "where", recordWhere);
  ASSERT_TRUE(run("function outer() {\n  var x = 1;\n  where();\n}\nouter();\n"));
  EXPECT_EQ(where.function, "outer");
  EXPECT_EQ(where.source, "string");
  EXPECT_EQ(where.line, 2);
  ASSERT_TRUE(run("\nwhere();"));
  EXPECT_EQ(where.function, ".main");
  EXPECT_EQ(where.line, 1);
}

int releases = 0;
void countRelease(NativeClass*, void* data) {
  if (data) ++releases;
}
void makeHeld(Engine& engine, NativeClass* cls, const Value*, Value* result) {
  makeNative(engine, result, cls, &releases);
}

TEST_F(MachineTest, DeletingAGlobalReleasesItsHostObjectAtOnce) {
  NativeClass* cls = newClass(engine());
  cls->construct = makeHeld;
  cls->releaseInstance = countRelease;
  defineClass(engine(), "Held", cls);
  releases = 0;
  ASSERT_TRUE(run("var h = new Held(); var other = 1; delete other; delete h; typeof h"));
  EXPECT_EQ(releases, 1);
  EXPECT_EQ(engine().lastResult.tag, Tag::String);
}

}  // namespace
}  // namespace vexil::script::test
