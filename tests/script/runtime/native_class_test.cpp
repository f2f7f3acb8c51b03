#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "runtime_fixture.h"
#include "script/runtime/arguments.h"
#include "script/runtime/call_entries.h"
#include "script/runtime/class_registration.h"
#include "script/runtime/conversions.h"
#include "script/runtime/host_class.h"
#include "script/runtime/messages.h"
#include "script/runtime/property_table.h"
#include "script/runtime/runtime_error.h"
#include "script/runtime/system_memory.h"

namespace vexil::script::test {
namespace {

using NativeClassTest = RuntimeTest;

int gReleases = 0;
void countRelease(NativeClass*, void*) { ++gReleases; }

TEST_F(NativeClassTest, NewClassHasAPrototypeTableWithANullLink) {
  NativeClass* cls = newClass(engine());
  EXPECT_NE(cls->finalizer, nullptr);
  EXPECT_EQ(cls->call, nullptr);
  EXPECT_EQ(cls->classData, nullptr);
  ASSERT_NE(cls->prototype, nullptr);
  ASSERT_EQ(cls->prototype->count, 1u);
  EXPECT_EQ(cls->prototype->entries[0].atom, kAtomProto);
  EXPECT_EQ(cls->prototype->entries[0].value.tag, Tag::Null);
}

TEST_F(NativeClassTest, InstancesWithDataGetAnOwnTableLinkedToThePrototype) {
  NativeClass* cls = newClass(engine());
  int data = 0;
  Value instance, bare;
  makeNative(engine(), &instance, cls, &data);
  makeNative(engine(), &bare, cls, nullptr);
  EXPECT_EQ(instance.tag, Tag::Native);
  EXPECT_EQ(instance.native()->cls, cls);
  EXPECT_EQ(instance.native()->data, &data);
  ASSERT_NE(instance.native()->props, nullptr);
  EXPECT_EQ(bare.native()->props, nullptr);
  // What is stored in the prototype table is seen by every instance.
  setProperty(engine(), cls->prototype, atom("shared"), Value::fromInteger(3));
  EXPECT_EQ(getProperty(engine(), instance.native()->props, atom("shared")).integer(), 3);
  EXPECT_STREQ(typeofText(instance.tag), "object");
}

TEST_F(NativeClassTest, DefineClassFunctionAndConstantPublishGlobals) {
  NativeClass* cls = newClass(engine());
  defineClass(engine(), "Thing", cls);
  Value& thing = globalSlot(engine(), "Thing");
  ASSERT_EQ(thing.tag, Tag::Native);
  EXPECT_EQ(thing.native()->cls, cls);
  EXPECT_EQ(thing.native()->data, nullptr);

  NativeClass* fn = defineFunction(engine(), "helper", [](Engine&, NativeClass*, void*, Value* result, const Value*) {
    result->setInteger(1);
  });
  EXPECT_NE(fn->call, nullptr);
  EXPECT_EQ(globalSlot(engine(), "helper").native()->cls, fn);

  defineConstant(engine(), "$BIG", 0xFFFFFFFFu);
  Value c = globalSlot(engine(), "$BIG");
  EXPECT_EQ(c.tag, Tag::Integer);
  EXPECT_EQ(c.integer(), 0xFFFFFFFFll);  // unsigned low word, zero high word
  // Constants are ordinary globals.
  globalSlot(engine(), "$BIG") = Value::fromInteger(5);
  EXPECT_EQ(globalSlot(engine(), "$BIG").integer(), 5);
}

TEST_F(NativeClassTest, InstanceOfComparesWithThePublishedClass) {
  NativeClass* socket = newClass(engine());
  NativeClass* file = newClass(engine());
  defineClass(engine(), "Socket", socket);
  defineClass(engine(), "File", file);
  int data = 0;
  Value s;
  makeNative(engine(), &s, socket, &data);
  EXPECT_TRUE(isInstanceOf(engine(), s, "Socket"));
  EXPECT_FALSE(isInstanceOf(engine(), s, "File"));
  EXPECT_FALSE(isInstanceOf(engine(), s, "NoSuchClass"));
  EXPECT_FALSE(isInstanceOf(engine(), Value::fromInteger(1), "Socket"));
  EXPECT_FALSE(isInstanceOf(engine(), str("Socket"), "Socket"));
  // A script that overwrites the global breaks the test, as it would for any global.
  globalSlot(engine(), "Socket") = Value::fromInteger(0);
  EXPECT_FALSE(isInstanceOf(engine(), s, "Socket"));
}

TEST_F(NativeClassTest, MakeNativeOwnsTheDataEvenWhenItCannotAllocate) {
  gReleases = 0;
  NativeClass* cls = newClass(engine());
  cls->releaseInstance = countRelease;
  keep("cls", Value());
  engine().heap.systemLimit = engine().heap.systemBytes;  // no further chunks
  int data = 0;
  bool ok = protectedCall(engine(), [&] {
    Value v;
    for (;;) makeNative(engine(), &v, cls, &data);
  });
  EXPECT_FALSE(ok);
  EXPECT_STREQ(engine().message, "Runtime error: Out of memory");
  engine().heap.systemLimit = 0;
  collect();
  // Every instance made, and the one that could not be, released its data exactly once.
  int made = gReleases;
  EXPECT_GT(made, 0);
  collect();
  EXPECT_EQ(gReleases, made);
}

TEST_F(NativeClassTest, PropertiesOfAClassObjectLiveInThePrototypeTable) {
  NativeClass* cls = newClass(engine());
  defineClass(engine(), "Shared", cls);
  Value classObject = globalSlot(engine(), "Shared");
  int a = 0, b = 0;
  Value first, second;
  makeNative(engine(), &first, cls, &a);
  makeNative(engine(), &second, cls, &b);
  EXPECT_EQ(nativeTable(classObject.native()), cls->prototype);
  setProperty(engine(), nativeTable(classObject.native()), atom("late"), Value::fromInteger(11));
  for (const Value& v : {first, second}) {
    EXPECT_EQ(getProperty(engine(), nativeTable(v.native()), atom("late")).integer(), 11);
  }
  // An instance's own property stays its own.
  setProperty(engine(), nativeTable(first.native()), atom("mine"), Value::fromInteger(1));
  Value out;
  EXPECT_FALSE(getProperty(engine(), nativeTable(second.native()), atom("mine"), &out));
}

TEST_F(NativeClassTest, SystemHeapHelpersRaiseOnlyWithAnEngine) {
  char* ansi = systemDupAnsi(&engine(), std::string_view("abc", 2));
  EXPECT_STREQ(ansi, "ab");
  std::free(ansi);
  char16_t* wide = systemDupUtf16(nullptr, u"xyz");
  EXPECT_EQ(std::u16string(wide), u"xyz");
  std::free(wide);
  void* zeroed = systemAllocZeroed(&engine(), 0);  // never null for success
  EXPECT_NE(zeroed, nullptr);
  std::free(zeroed);
  EXPECT_EQ(systemRealloc(nullptr, nullptr, SIZE_MAX), nullptr);
  EXPECT_FALSE(protectedCall(engine(), [&] { systemAlloc(&engine(), SIZE_MAX); }));
  EXPECT_STREQ(engine().message, "Runtime error: Out of memory");
}

// ---- The host-class helper ----

struct Counter {
  int64_t value = 0;
  std::string label;
};

void counterConstruct(HostCall& call) {
  auto start = call.args.integer(1);
  if (!start) return;  // the result stays Null
  call.publish(std::make_unique<Counter>(Counter{*start, ""}));
}
void counterRelease(NativeClass*, void* data) {
  ++gReleases;
  delete static_cast<Counter*>(data);
}
void counterAdd(HostCall& call) {
  auto step = call.args.integer(1);
  if (!step) return;  // wrong type: Undefined
  call.instance<Counter>()->value += *step;
  call.result->setInteger(call.instance<Counter>()->value);
}
void counterDescribe(HostCall& call) { *call.result = makeStringFromAnsi(call.engine, "a counter class"); }
void counterValue(HostCall& call) { call.result->setInteger(call.instance<Counter>()->value); }
void counterSetValue(HostCall& call, const Value& v) {
  if (v.tag == Tag::Integer) call.instance<Counter>()->value = v.integer();
}
void counterVersion(HostCall& call) { call.result->setInteger(2); }

const HostMethodEntry kCounterMethods[] = {
    {"add", counterAdd},
    {"describe", counterDescribe, true},
};
const HostPropertyEntry kCounterProperties[] = {
    {"value", counterValue, counterSetValue},
    {"version", counterVersion, nullptr, true},
};
const HostConstant kCounterConstants[] = {{"$COUNTER_MAX", 100}, {"$COUNTER_MIN", 0}};
const HostClassInfo kCounterClass = {
    .name = "Counter",
    .methods = kCounterMethods,
    .properties = kCounterProperties,
    .constants = kCounterConstants,
    .construct = counterConstruct,
    .release = counterRelease,
};

class HostClassTest : public RuntimeTest {
 protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    gReleases = 0;
    cls = defineHostClass(engine(), kCounterClass);
  }
  Value construct(std::initializer_list<Value> args) {
    auto block = argumentBlock(args);
    Value result;
    cls->construct(engine(), cls, block.data(), &result);
    return result;
  }
  bool invoke(const Value& target, const char* method, std::initializer_list<Value> args) {
    auto block = argumentBlock(args);
    NativeObject* object = target.native();
    return cls->invoke(engine(), cls, object->data, atom(method), &result, block.data());
  }
  bool property(const Value& target, const char* name, bool set, Value* v) {
    return cls->property(engine(), cls, target.native()->data, atom(name), set, v);
  }
  NativeClass* cls = nullptr;
  Value result;
};

TEST_F(HostClassTest, MembersAreInternedAtRegistration) {
  for (const char* name : {"add", "describe", "value", "version"}) EXPECT_GE(findAtom(engine(), name), 0) << name;
  EXPECT_EQ(globalSlot(engine(), "$COUNTER_MAX").integer(), 100);
  EXPECT_TRUE(isInstanceOf(engine(), construct({Value::fromInteger(1)}), "Counter"));
}

TEST_F(HostClassTest, MethodsDispatchByAtomAndBadArgumentsGiveUndefined) {
  Value counter = construct({Value::fromInteger(10)});
  keep("c", counter);
  EXPECT_TRUE(invoke(counter, "add", {Value::fromInteger(5)}));
  EXPECT_EQ(result.integer(), 15);
  struct Case {
    std::vector<Value> args;
  };
  const Case bad[] = {{{}}, {{str("5")}}, {{Value::null()}}};
  for (const Case& c : bad) {
    std::vector<Value> block{Value::fromInteger(int64_t(c.args.size()))};
    block.insert(block.end(), c.args.begin(), c.args.end());
    result = Value::fromInteger(99);
    EXPECT_TRUE(cls->invoke(engine(), cls, counter.native()->data, atom("add"), &result, block.data()));
    EXPECT_EQ(result.tag, Tag::Undefined);
  }
  EXPECT_FALSE(invoke(counter, "subtract", {}));
  EXPECT_EQ(construct({str("x")}).tag, Tag::Null);
}

TEST_F(HostClassTest, ToStringNamesTheClass) {
  Value counter = construct({Value::fromInteger(1)});
  ASSERT_TRUE(invoke(counter, "toString", {}));
  EXPECT_EQ(text(result), "[object Counter]");
  EXPECT_TRUE(result.string()->isStatic());
  // The class object answers too.
  Value& classObject = globalSlot(engine(), "Counter");
  ASSERT_TRUE(invoke(classObject, "toString", {}));
  EXPECT_EQ(text(result), "[object Counter]");
}

TEST_F(HostClassTest, ClassObjectAnswersOnlyItsOwnMembers) {
  Value& classObject = globalSlot(engine(), "Counter");
  EXPECT_FALSE(invoke(classObject, "add", {Value::fromInteger(1)}));
  EXPECT_TRUE(invoke(classObject, "describe", {}));
  EXPECT_EQ(text(result), "a counter class");
  Value v;
  EXPECT_FALSE(property(classObject, "value", false, &v));
  EXPECT_TRUE(property(classObject, "version", false, &v));
  EXPECT_EQ(v.integer(), 2);
}

TEST_F(HostClassTest, PropertiesReadWriteAndReadOnlyIgnoresWrites) {
  Value counter = construct({Value::fromInteger(4)});
  Value v;
  ASSERT_TRUE(property(counter, "value", false, &v));
  EXPECT_EQ(v.integer(), 4);
  v = Value::fromInteger(8);
  EXPECT_TRUE(property(counter, "value", true, &v));
  EXPECT_EQ(static_cast<Counter*>(counter.native()->data)->value, 8);
  v = Value::fromInteger(9);
  EXPECT_TRUE(property(counter, "version", true, &v));  // accepted, ignored
  ASSERT_TRUE(property(counter, "version", false, &v));
  EXPECT_EQ(v.integer(), 2);
  EXPECT_FALSE(property(counter, "nothing", false, &v));
}

TEST_F(HostClassTest, UnreachableInstancesAreReleasedOnceAndTheClassStays) {
  construct({Value::fromInteger(1)});
  Value kept = construct({Value::fromInteger(2)});
  keep("kept", kept);
  collect();
  EXPECT_EQ(gReleases, 1);
  collect();
  EXPECT_EQ(gReleases, 1);
  EXPECT_TRUE(invoke(kept, "add", {Value::fromInteger(1)}));
  EXPECT_EQ(result.integer(), 3);
}

// A class whose instances can be closed: closed ones answer only class-object members and
// "toString", so scripts see the unknown-member path for the rest.
struct Door {
  bool open = true;
};
void doorConstruct(HostCall& call) { call.publish(std::make_unique<Door>()); }
void doorRelease(NativeClass*, void* data) { delete static_cast<Door*>(data); }
void doorClose(HostCall& call) { call.instance<Door>()->open = false; }
void doorKind(HostCall& call) { call.result->setInteger(7); }
void doorDescribe(HostCall& call) { *call.result = makeStringFromAnsi(call.engine, "a door"); }
void doorWidth(HostCall& call) { call.result->setInteger(80); }
bool doorIsOpen(const void* self) { return static_cast<const Door*>(self)->open; }

const HostMethodEntry kDoorMethods[] = {
    {"close", doorClose},
    {"kind", doorKind, true},
    {"toString", doorDescribe},
};
const HostPropertyEntry kDoorProperties[] = {{"width", doorWidth}};
const HostClassInfo kDoorClass = {
    .name = "Door",
    .methods = kDoorMethods,
    .properties = kDoorProperties,
    .constants = {},
    .construct = doorConstruct,
    .release = doorRelease,
    .isOpen = doorIsOpen,
};

TEST_F(NativeClassTest, AClosedInstanceAnswersOnlyClassObjectMembersAndToString) {
  NativeClass* cls = defineHostClass(engine(), kDoorClass);
  Value door;
  cls->construct(engine(), cls, nullptr, &door);
  keep("door", door);
  void* self = door.native()->data;
  auto invoke = [&](const char* name, Value* result) {
    return cls->invoke(engine(), cls, self, atom(name), result, nullptr);
  };
  Value result;
  ASSERT_TRUE(invoke("toString", &result));
  EXPECT_EQ(text(result), "a door");
  ASSERT_TRUE(invoke("close", &result));

  EXPECT_FALSE(invoke("close", &result));
  EXPECT_FALSE(cls->property(engine(), cls, self, atom("width"), false, &result));
  ASSERT_TRUE(invoke("kind", &result));
  EXPECT_EQ(result.integer(), 7);
  ASSERT_TRUE(invoke("toString", &result));
  EXPECT_EQ(text(result), "[object Door]");
}

using ArgumentsTest = RuntimeTest;

TEST_F(ArgumentsTest, ReadersStayWithinTheCountAndRefuseWrongTypes) {
  const Value block[] = {Value::fromInteger(4), Value::fromInteger(7), Value::fromReal(-2.9), Value::null(),
                         str("caf\xE9"), Value::fromInteger(99)};
  Arguments a(block);
  EXPECT_EQ(a.count(), 4u);
  EXPECT_EQ(a.at(0), nullptr);
  EXPECT_EQ(a.integer(1), 7);
  EXPECT_EQ(a.integer(2), -2);  // a finite Real, truncated
  EXPECT_FALSE(a.integer(3));
  EXPECT_FALSE(a.integer(5));   // present in memory, but beyond the count
  EXPECT_FALSE(a.string(1));
  EXPECT_EQ(a.text(4), u"caf\u00E9");
  EXPECT_EQ(a.ansi(4), "caf\xE9");
  EXPECT_FALSE(a.boolean(1));
  EXPECT_EQ(a.number(2), -2.9);
  EXPECT_EQ(a.object(1), nullptr);
  EXPECT_EQ(a.callable(1), nullptr);

  const Value odd[] = {Value::fromInteger(3), Value::fromReal(1e300), Value::nan(), Value::fromBoolean(true)};
  Arguments b(odd);
  EXPECT_FALSE(b.integer(1));
  EXPECT_FALSE(b.integer(2));
  EXPECT_TRUE(std::isnan(*b.number(2)));
  EXPECT_EQ(b.boolean(3), true);
}

TEST_F(ArgumentsTest, OnlyAPositiveIntegerCountCounts) {
  for (Value count : {Value::fromInteger(0), Value::fromInteger(-3), Value::fromReal(2.0), Value::null(),
                      Value::fromInteger(int64_t(1) << 40)}) {
    const Value block[] = {count, Value::fromInteger(1)};
    EXPECT_EQ(Arguments(block).count(), 0u);
    EXPECT_FALSE(Arguments(block).integer(1));
  }
  EXPECT_EQ(Arguments(nullptr).count(), 0u);
  auto built = argumentBlock({Value::fromInteger(5), Value::null()});
  EXPECT_EQ(built[0].integer(), 2);
  EXPECT_EQ(Arguments(built.data()).integer(1), 5);
}

// A number class whose toString answers a fixed word, to tell its answer from the number's digits.
bool answerWord(Engine& engine, NativeClass*, void*, Atom method, Value* result, const Value*) {
  if (method != kAtomToString) return false;
  *result = makeStringFromAnsi(engine, "word");
  return true;
}

TEST_F(NativeClassTest, OwnTextMarkSkipsTheClassUntilTheTagGetsAnotherClass) {
  NativeClass* numbers = newClass(engine());
  numbers->invoke = answerWord;
  setClassDescriptor(engine(), Tag::Integer, numbers);
  Value converted;
  valueToString(engine(), Value::fromInteger(-42), &converted);
  EXPECT_EQ(text(converted), "word");

  markOwnTextClass(engine(), Tag::Integer);
  EXPECT_TRUE(hasOwnTextClass(engine(), Tag::Integer));
  valueToString(engine(), Value::fromInteger(-42), &converted);
  EXPECT_EQ(text(converted), "-42");

  setClassDescriptor(engine(), Tag::Integer, numbers);
  EXPECT_FALSE(hasOwnTextClass(engine(), Tag::Integer));
  valueToString(engine(), Value::fromInteger(-42), &converted);
  EXPECT_EQ(text(converted), "word");
}

TEST_F(NativeClassTest, OwnTextMarkNeedsAClass) {
  setClassDescriptor(engine(), Tag::Boolean, nullptr);
  markOwnTextClass(engine(), Tag::Boolean);
  EXPECT_FALSE(hasOwnTextClass(engine(), Tag::Boolean));
}

}  // namespace
}  // namespace vexil::script::test
