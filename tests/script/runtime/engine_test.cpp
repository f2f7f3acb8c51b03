#include <string>
#include <vector>

#include "platform/environment.h"
#include "runtime_fixture.h"
#include "script/runtime/class_registration.h"
#include "script/runtime/messages.h"
#include "script/runtime/runtime_error.h"

namespace vexil::script::test {
namespace {

TEST(EngineLife, CreationSetsTheDocumentedDefaults) {
  EngineConfig config;
  config.userWord = 0x1234;
  config.options = kOptionCreationFlag | kOptionWarnUndefinedVariables;
  Engine* engine = createEngine(config);
  ASSERT_NE(engine, nullptr);
  EXPECT_EQ(engine->userWord, 0x1234u);
  EXPECT_EQ(engine->options, 5u);
  EXPECT_EQ(engine->stackSize, kDefaultStackSize);
  EXPECT_EQ(engine->sp, engine->stack + kDefaultStackSize - 1);
  EXPECT_EQ(engine->heap.threshold, 0x200000u);
  EXPECT_EQ(engine->globals.count, 5u);
  EXPECT_EQ(engine->errorFrames, nullptr);
  destroyEngine(engine);
  destroyEngine(nullptr);
}

std::vector<int> gSteps;
template <int N>
void recordStep(Engine&) {
  gSteps.push_back(N);
}

TEST(EngineLife, RegistrationRunsFilledStepsInTheFixedOrder) {
  gSteps.clear();
  ClassRegistry registry;
  // Filled out of order; missing steps are skipped without moving the others.
  registry.set(ClassStep::DataFile, recordStep<42>)
      .set(ClassStep::Array, recordStep<9>)
      .set(ClassStep::GlobalFunctions, recordStep<1>)
      .set(ClassStep::Object, recordStep<14>)
      .set(ClassStep::Socket, recordStep<37>);
  EngineConfig config;
  config.classes = &registry;
  Engine* engine = createEngine(config);
  ASSERT_NE(engine, nullptr);
  EXPECT_EQ(gSteps, (std::vector<int>{1, 9, 14, 37, 42}));
  destroyEngine(engine);

  EXPECT_EQ(kClassStepCount, 42u);
  EXPECT_STREQ(kClassStepGlobals[size_t(ClassStep::Date)], "Date");
  EXPECT_STREQ(kClassStepGlobals[size_t(ClassStep::Array)], "Array");
  EXPECT_STREQ(kClassStepGlobals[size_t(ClassStep::UrlShortcut)], "URLShortcut");
  EXPECT_STREQ(kClassStepGlobals[size_t(ClassStep::Socket)], "Socket");
  EXPECT_STREQ(kClassStepGlobals[size_t(ClassStep::DataFile)], "DataFile");
}

void failingStep(Engine& engine) { raiseError(engine, "%s", "registration failed"); }
void greedyStep(Engine& engine) {
  for (;;) makeString(engine, 1000);
}
void throwingStep(Engine&) { throw std::bad_alloc(); }

TEST(EngineLife, CreationFailsCleanlyWhenRegistrationFails) {
  for (RegisterClassesFn step : {failingStep, greedyStep, throwingStep}) {
    ClassRegistry registry;
    registry.set(ClassStep::Math, step);
    EngineConfig config;
    config.classes = &registry;
    config.heapLimit = 4 * kChunkSize;
    EXPECT_EQ(createEngine(config), nullptr);
  }
}

using EngineTest = RuntimeTest;

struct Witness {
  bool* destroyed;
  ~Witness() { *destroyed = true; }
};

TEST_F(EngineTest, RuntimeErrorsUnwindThroughDestructorsToTheInnermostCall) {
  bool destroyed = false;
  Value* sp = engine().sp;
  bool innerOk = true;
  bool outerOk = protectedCall(engine(), [&] {
    pushValue(engine(), Value::fromInteger(1));
    innerOk = protectedCall(engine(), [&] {
      Witness w{&destroyed};
      pushValue(engine(), Value::fromInteger(2));
      raiseError(engine(), "%s", "bad thing");
    });
    EXPECT_EQ(engine().sp, sp - 1);  // the inner call's pushes are gone, the outer's remain
  });
  EXPECT_TRUE(outerOk);
  EXPECT_FALSE(innerOk);
  EXPECT_TRUE(destroyed);
  EXPECT_STREQ(engine().message, "Runtime error: bad thing");
  EXPECT_EQ(engine().sp, sp);
  EXPECT_EQ(engine().errorFrames, nullptr);
}

TEST_F(EngineTest, AFrameCanAskForTheMessageAsAString) {
  ErrorFrame frame;
  frame.keepMessage = true;
  EXPECT_FALSE(protectedCall(engine(), [&] { raiseError(engine(), "code %d", 7); }, &frame));
  EXPECT_EQ(text(frame.thrown), "Runtime error: code 7");
}

TEST_F(EngineTest, LongMessagesAreCutToTheBuffer) {
  std::string longText(5000, 'x');
  EXPECT_FALSE(protectedCall(engine(), [&] { raiseError(engine(), "%s", longText.c_str()); }));
  EXPECT_EQ(std::string(engine().message).size(), kMessageBufferSize - 1);
  EXPECT_EQ(std::string(engine().message).rfind("Runtime error: xxx", 0), 0u);
}

TEST_F(EngineTest, SystemHeapExhaustionIsOutOfMemory) {
  EXPECT_FALSE(protectedCall(engine(), [] { throw std::bad_alloc(); }));
  EXPECT_STREQ(engine().message, "Runtime error: Out of memory");
}

TEST_F(EngineTest, WarningsGoToTheBufferAndTheTraceWithoutUnwinding) {
  std::string traced;
  engine().traceOutput = [](void* data, const char* line) { *static_cast<std::string*>(data) += line; };
  engine().traceData = &traced;
  warn(engine(), kUnknownMethodFormat, "frob");
  EXPECT_STREQ(engine().message, "Warning: unknown method \"frob\"");
  EXPECT_EQ(traced, "Warning: unknown method \"frob\"\r\n");
}

TEST_F(EngineTest, StackOverflowIsARuntimeError) {
  size_t pushed = 0;
  EXPECT_FALSE(protectedCall(engine(), [&] {
    for (;;) {
      pushValue(engine(), Value());
      ++pushed;
    }
  }));
  EXPECT_EQ(pushed, kDefaultStackSize - 1);
  EXPECT_STREQ(engine().message, "Runtime error: stack overflow");
}

TEST_F(EngineTest, PoolStringsAreStaticRootsFreedWithTheEngine) {
  const char16_t text16[] = u"literal";
  uint32_t index = addStringConstant(engine(), text16, 7);
  uint32_t empty = addStringConstant(engine(), nullptr, 0);
  addConstant(engine(), Value::fromInteger(3));
  collect();
  const Value& v = engine().constants.data[index];
  EXPECT_TRUE(v.string()->isStatic());
  EXPECT_NE(v.string()->chars, text16);  // a copy the engine owns
  EXPECT_EQ(v.string()->view(), u"literal");
  EXPECT_EQ(engine().constants.data[empty].string()->length, 0u);
  EXPECT_EQ(engine().constants.count, 3u);
}

TEST(EngineLife, StressModeComesFromTheEnvironment) {
  // The stress run of this suite sets the variable itself: put back what was there.
  auto original = platform::environmentVariable(kCollectorStressVariable);
  platform::setEnvironmentVariable(kCollectorStressVariable, std::string("1"));
  Engine* stressed = createEngine(EngineConfig());
  platform::setEnvironmentVariable(kCollectorStressVariable, std::string("0"));
  Engine* calm = createEngine(EngineConfig());
  platform::setEnvironmentVariable(kCollectorStressVariable, original);
  ASSERT_TRUE(stressed && calm);
  EXPECT_TRUE(stressed->collectorStress);
  EXPECT_FALSE(calm->collectorStress);
  destroyEngine(stressed);
  destroyEngine(calm);
}

}  // namespace
}  // namespace vexil::script::test
