#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "runtime_fixture.h"
#include "script/runtime/messages.h"
#include "script/runtime/property_table.h"
#include "script/runtime/runtime_error.h"
#include "script/runtime/script_function.h"
#include "script/runtime/value_block.h"

namespace vexil::script::test {
namespace {

using CollectorTest = RuntimeTest;

// A class whose instances count their releases; the data is a heap-allocated tally.
struct Tally {
  int releases = 0;
};
std::vector<Tally*> gReleased;

void releaseTally(NativeClass*, void* data) {
  if (!data) return;
  auto* tally = static_cast<Tally*>(data);
  ++tally->releases;
  gReleased.push_back(tally);
}

NativeClass* tallyClass(Engine& engine) {
  NativeClass* cls = newClass(engine);
  cls->releaseInstance = releaseTally;
  defineClass(engine, "Tally", cls);
  return cls;
}

// Allocates 1000-byte blocks, passing a collection point after each, until the next collection
// has run or `limit` bytes were handed out; answers the bytes allocated.
size_t allocateUntilCollected(Engine& engine, size_t limit = SIZE_MAX) {
  size_t before = engine.heap.collections;
  size_t allocated = 0;
  while (engine.heap.collections == before && allocated < limit) {
    allocBlock(engine, 1000);
    allocated += 1024;
    collectionPoint(engine);
  }
  return allocated;
}

TEST_F(CollectorTest, ReclaimsUnreachableStringsAndKeepsReachableOnes) {
  NativeClass* cls = tallyClass(engine());
  Value lost = str("lost");
  Value global = str("in a global");
  Value element = str("in an array element");
  Value property = str("in a native's own table");
  keep("g", global);
  keep("a", makeTestArray(engine(), {Value::fromInteger(1), element}));
  Value native;
  Tally tally;
  makeNative(engine(), &native, cls, &tally);
  setProperty(engine(), native.native()->props, atom("p"), property);
  keep("n", native);

  const char16_t* lostChars = lost.string()->chars;
  collect();
  EXPECT_TRUE(isReclaimed(engine(), lost.string()));
  EXPECT_TRUE(isReclaimed(engine(), lostChars));
  for (const Value& v : {global, element, property}) {
    EXPECT_FALSE(isReclaimed(engine(), v.string()));
    EXPECT_FALSE(isReclaimed(engine(), v.string()->chars));
  }
  EXPECT_EQ(text(element), "in an array element");
  EXPECT_EQ(text(property), "in a native's own table");
  globalSlot(engine(), "n").setUndefined();
  collect();
  EXPECT_EQ(tally.releases, 1);
}

TEST_F(CollectorTest, NativeReleasedOnceAtNextSweepAndRestAtDestruction) {
  gReleased.clear();
  NativeClass* cls = tallyClass(engine());
  Tally dropped, kept;
  Value v;
  makeNative(engine(), &v, cls, &dropped);
  makeNative(engine(), &v, cls, &kept);
  keep("kept", v);
  collect();
  EXPECT_EQ(dropped.releases, 1);
  EXPECT_EQ(kept.releases, 0);
  collect();
  EXPECT_EQ(dropped.releases, 1);

  destroyEngine(engine_);
  engine_ = nullptr;
  EXPECT_EQ(kept.releases, 1);
  EXPECT_EQ(dropped.releases, 1);
  engine_ = createEngine(config_);  // for TearDown
}

int gFinalized = 0;
void countFinalize(void*) { ++gFinalized; }

TEST_F(CollectorTest, FinalizersRunExactlyOnceAcrossMergedRuns) {
  gFinalized = 0;
  // Neighbouring dead blocks merge into one free block; each finalizer still runs once.
  for (int i = 0; i < 10; ++i) {
    auto** block = static_cast<Finalizer*>(allocFinalized(engine(), 16));
    *block = countFinalize;
  }
  auto* nullFinalizer = static_cast<Finalizer*>(allocFinalized(engine(), 16));
  (void)nullFinalizer;  // a null finalizer word is skipped
  collect();
  EXPECT_EQ(gFinalized, 10);
  collect();
  EXPECT_EQ(gFinalized, 10);
}

TEST_F(CollectorTest, NextCollectionComesAfterAnotherThresholdOfAllocation) {
  engine().collectorStress = false;
  // Plenty of live data: the counter restarts from the last live block, not from the live total.
  Value keepAll = makeTestArray(engine(), {});
  keep("all", keepAll);
  PropertyTable* table = newTable(engine());
  keep("t", Value::fromObject(table));
  for (int i = 0; i < 3000; ++i) setByKey(engine(), table, Value::fromInteger(i), makeString(engine(), 500));
  size_t live = collect();
  EXPECT_GT(live, 3000u * 1000);
  EXPECT_LT(engine().heap.inUse, 65536u);

  size_t allocated = allocateUntilCollected(engine(), 3u * kDefaultCollectionThreshold);
  ASSERT_LT(allocated, 3u * kDefaultCollectionThreshold);
  EXPECT_GT(allocated, kDefaultCollectionThreshold - 70000);
}

// A live heap larger than the threshold paces the next collection: it comes after about as much
// allocation as is live, not after every threshold's worth, and a small heap goes back to the
// threshold.
TEST_F(CollectorTest, LargeLiveHeapPacesTheNextCollection) {
  engine().collectorStress = false;
  PropertyTable* table = newTable(engine());
  keep("t", Value::fromObject(table));
  for (int i = 0; i < 6000; ++i) setByKey(engine(), table, Value::fromInteger(i), makeString(engine(), 500));
  size_t live = collect();
  ASSERT_GT(live, 3 * kDefaultCollectionThreshold);
  EXPECT_EQ(engine().heap.pace, live);

  size_t allocated = allocateUntilCollected(engine());
  EXPECT_GT(allocated, live - 70000);
  EXPECT_LT(allocated, live + 70000);

  keep("t", Value());
  collect();
  EXPECT_EQ(engine().heap.pace, kDefaultCollectionThreshold);
  allocated = allocateUntilCollected(engine());
  EXPECT_LT(allocated, kDefaultCollectionThreshold + 70000);
}

TEST_F(CollectorTest, StressModeCollectsAtEveryCollectionPoint) {
  engine().collectorStress = true;
  size_t before = engine().heap.collections;
  collectionPoint(engine());
  collectionPoint(engine());
  EXPECT_EQ(engine().heap.collections, before + 2);
}

TEST_F(CollectorTest, CollectionHookAnswerBreaksTheRun) {
  engine().collectorStress = true;
  int calls = 0;
  struct Hook {
    static int answer(int code, void* data) {
      int& n = *static_cast<int*>(data);
      ++n;
      return code == 2 && n == 2 ? 7 : 0;
    }
  };
  engine().collectionHook = Hook::answer;
  engine().collectionHookData = &calls;
  EXPECT_TRUE(protectedCall(engine(), [&] { collectionPoint(engine()); }));
  EXPECT_FALSE(protectedCall(engine(), [&] { collectionPoint(engine()); }));
  EXPECT_STREQ(engine().message, "Runtime error: hook break 7");
}

TEST_F(CollectorTest, StackSlotsAndFrameBlocksAreRoots) {
  Value onStack = str("on the stack");
  Value inFrame = str("in a frame block");
  Value self = str("this after a frame link");
  auto* block = static_cast<ValueBlock*>(allocBlock(engine(), ValueBlock::bytesFor(2)));
  block->count = 2;
  block->values()[0] = inFrame;
  block->values()[1] = Value::fromInteger(1);
  Value link, scope, mark;
  link.setPointer(Tag::FrameMark, engine().stack);  // a link into the stack, not a heap block
  scope.setPointer(Tag::FrameMark, block);
  mark.tag = Tag::FrameArgs;

  Value* saved = engine().sp;
  pushValue(engine(), self);
  pushValue(engine(), link);  // a lone frame mark: the slot after it is an ordinary value
  pushValue(engine(), mark);
  pushValue(engine(), scope);
  pushValue(engine(), link);  // a frame mark followed by one: that one's block is marked
  pushValue(engine(), onStack);
  collect();
  for (const Value& v : {onStack, inFrame, self}) EXPECT_FALSE(isReclaimed(engine(), v.string()));
  EXPECT_FALSE(isReclaimed(engine(), block));
  EXPECT_EQ(text(inFrame), "in a frame block");

  engine().sp = saved;
  collect();
  for (const Value& v : {onStack, inFrame, self}) EXPECT_TRUE(isReclaimed(engine(), v.string()));
}

TEST_F(CollectorTest, LongChainsAndDeepNestingNeedNoNativeStack) {
  // Deep enough that a recursive marker would overflow the native stack.
  constexpr int kDepth = 200000;
  Atom next = atom("next");
  Value head = Value::fromObject(newTable(engine()));
  keep("list", head);
  PropertyTable* at = head.table();
  for (int i = 0; i < kDepth; ++i) {
    PropertyTable* node = newTable(engine());
    setProperty(engine(), node, atom("v"), Value::fromInteger(i));
    setProperty(engine(), at, next, Value::fromObject(node));
    at = node;
  }
  Value nested = makeTestArray(engine(), {});
  keep("nested", nested);
  for (int i = 0; i < kDepth; ++i) nested = makeTestArray(engine(), {nested, str("x")});
  keep("nested", nested);

  collect();
  EXPECT_FALSE(isReclaimed(engine(), at));
  EXPECT_EQ(getProperty(engine(), at, atom("v")).integer(), kDepth - 1);

  globalSlot(engine(), "list").setUndefined();
  globalSlot(engine(), "nested").setUndefined();
  collect();
  EXPECT_TRUE(isReclaimed(engine(), at));
}

TEST_F(CollectorTest, TablesWithManyObjectsAndCyclesAreMarkedCompletely) {
  PropertyTable* root = newTable(engine());
  keep("root", Value::fromObject(root));
  std::vector<PropertyTable*> children;
  for (int i = 0; i < 50; ++i) {
    PropertyTable* child = newTable(engine());
    setProperty(engine(), child, kAtomProto, Value::fromObject(root));  // cycle back to the root
    setProperty(engine(), child, atom("s"), str("child text"));
    setByKey(engine(), root, str("k" + std::to_string(i)), Value::fromObject(child));
    children.push_back(child);
  }
  collect();
  for (PropertyTable* child : children) {
    EXPECT_FALSE(isReclaimed(engine(), child));
    EXPECT_EQ(text(getProperty(engine(), child, atom("s"))), "child text");
  }
  // The name index of the root (built by the text keys) survives too.
  EXPECT_EQ(getByKey(engine(), root, str("k7")).table(), children[7]);
}

TEST_F(CollectorTest, FunctionsKeepTheirCodeAndTable) {
  auto* function = static_cast<ScriptFunction*>(allocBlock(engine(), sizeof(ScriptFunction)));
  function->code = static_cast<CodeRecord*>(allocBlock(engine(), 64));
  function->props = newTable(engine());
  setProperty(engine(), function->props, atom("s"), str("function property"));
  Value f;
  f.setFunction(function);
  keep("f", f);
  collect();
  EXPECT_FALSE(isReclaimed(engine(), function->code));
  EXPECT_EQ(text(getProperty(engine(), function->props, atom("s"))), "function property");
}

TEST_F(CollectorTest, LastResultSurvivesUntilTheHostReadsIt) {
  engine().lastResult = str("result");
  collect();
  EXPECT_EQ(text(engine().lastResult), "result");
}

// A release operation may read its class data while the class dies in the same sweep.
int* gClassWord = nullptr;
int gSeenClassWord = 0;
void releaseReadingClassData(NativeClass* cls, void*) { gSeenClassWord = *static_cast<int*>(cls->classData); }
void freeClassWord(void* data) {
  gClassWord = nullptr;
  std::free(data);
}

TEST_F(CollectorTest, ClassDataOutlivesInstancesDyingInTheSameSweep) {
  for (int round = 0; round < 2; ++round) {
    NativeClass* cls = newClass(engine());
    gClassWord = static_cast<int*>(std::malloc(sizeof(int)));
    *gClassWord = 42 + round;
    cls->classData = gClassWord;
    cls->releaseClassData = freeClassWord;
    cls->releaseInstance = releaseReadingClassData;
    Value v;
    for (int i = 0; i < 20; ++i) makeNative(engine(), &v, cls, &gSeenClassWord);
    gSeenClassWord = 0;
    collect();
    EXPECT_EQ(gSeenClassWord, 42 + round);
    EXPECT_EQ(gClassWord, nullptr);  // released once the sweep was over
  }
}

}  // namespace
}  // namespace vexil::script::test
