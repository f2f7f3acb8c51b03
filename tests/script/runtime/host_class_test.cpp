// What the binding helper gives every host class beyond its member tables: recognising its own
// instances by the class record, instance data owned from the moment it is published, per-engine
// state, construct and call handlers, global functions, and element access.
#include <memory>
#include <string>
#include <vector>

#include "runtime_fixture.h"
#include "script/runtime/arguments.h"
#include "script/runtime/atom_table.h"
#include "script/runtime/host_class.h"
#include "script/runtime/runtime_error.h"

namespace vexil::script::test {
namespace {

int gLive = 0;  // Boxes made and not yet released

struct Box {
  int64_t value;
  explicit Box(int64_t v) : value(v) { ++gLive; }
  ~Box() { --gLive; }
};

// Counts constructions per engine; keeps one script value alive through the collector.
struct BoxState {
  int made = 0;
  Value favourite;
  void mark(Engine& engine) { markValue(engine, favourite); }
};

void boxConstruct(HostCall& call) {
  auto v = call.args.integer(1);
  if (!v) return;  // stays Null
  ++call.state<BoxState>()->made;
  call.publish(std::make_unique<Box>(*v));
}
// Called as a function, the class object answers its count; an instance answers its value.
void boxCall(HostCall& call) {
  if (call.self) call.result->setInteger(call.instance<Box>()->value);
  else call.result->setInteger(call.state<BoxState>()->made);
}
void boxValue(HostCall& call) { call.result->setInteger(call.instance<Box>()->value); }

const HostPropertyEntry kBoxProperties[] = {{"value", boxValue}};
const HostClassInfo kBoxClass = {
    .name = "Box",
    .properties = kBoxProperties,
    .construct = boxConstruct,
    .call = boxCall,
    .release = deleteInstance<Box>,
    .state = &kPlainState<BoxState>,
};
// Another class under the same name: identity is the description, not the name.
void plainBoxConstruct(HostCall& call) { call.publish(std::make_unique<Box>(0)); }
const HostClassInfo kOtherBoxClass = {.name = "Box", .construct = plainBoxConstruct, .release = deleteInstance<Box>};

class HostClassHelperTest : public RuntimeTest {
 protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    gLive = 0;
    cls = defineHostClass(engine(), kBoxClass);
  }
  Value construct(NativeClass* c, std::initializer_list<Value> args) {
    auto block = argumentBlock(args);
    Value result;
    c->construct(engine(), c, block.data(), &result);
    return result;
  }
  Value callOn(const Value& target, std::initializer_list<Value> args) {
    auto block = argumentBlock(args);
    Value result;
    NativeObject* object = target.native();
    object->cls->call(engine(), object->cls, object->data, &result, block.data());
    return result;
  }
  NativeClass* cls = nullptr;
};

TEST_F(HostClassHelperTest, InstancesAreRecognisedByTheirClassRecordWhateverTheGlobalHolds) {
  Value box = construct(cls, {Value::fromInteger(4)});
  keep("box", box);
  ASSERT_NE(instanceOf<Box>(box, kBoxClass), nullptr);
  EXPECT_EQ(instanceOf<Box>(box, kBoxClass)->value, 4);
  EXPECT_EQ(hostClassInfo(box.native()->cls), &kBoxClass);
  // Rebinding the global changes nothing for host code; the engine keeps the class record.
  globalSlot(engine(), "Box") = Value::fromInteger(0);
  collect();
  EXPECT_NE(instanceOf<Box>(box, kBoxClass), nullptr);
  EXPECT_EQ(hostClass(engine(), kBoxClass), cls);
  Value made;
  ASSERT_NE(newInstance(engine(), kBoxClass, &made, std::make_unique<Box>(9)), nullptr);
  keep("made", made);
  EXPECT_EQ(instanceOf<Box>(made, kBoxClass)->value, 9);
  // Not a box: the class object, another class of the same name, other values.
  NativeClass* other = defineHostClass(engine(), kOtherBoxClass);
  Value impostor = construct(other, {Value::fromInteger(1)});
  keep("impostor", impostor);
  EXPECT_EQ(instanceOf<Box>(impostor, kBoxClass), nullptr);
  EXPECT_TRUE(isHostValue(impostor, kOtherBoxClass));
  EXPECT_EQ(instanceOf<Box>(globalSlot(engine(), "Box"), kOtherBoxClass), nullptr);  // class object
  EXPECT_EQ(instanceOf<Box>(Value::fromInteger(4), kBoxClass), nullptr);
  EXPECT_EQ(instanceOf<Box>(str("Box"), kBoxClass), nullptr);
  Value block[] = {Value::fromInteger(3), box, impostor, Value::fromInteger(4)};
  Arguments args(block);
  EXPECT_NE(instanceArgument<Box>(args, 1, kBoxClass), nullptr);
  EXPECT_EQ(instanceArgument<Box>(args, 2, kBoxClass), nullptr);
  EXPECT_EQ(instanceArgument<Box>(args, 3, kBoxClass), nullptr);
}

TEST_F(HostClassHelperTest, NewInstanceOfAClassTheEngineDidNotRegisterIsNullAndFreesTheData) {
  const HostClassInfo unregistered = {.name = "Nowhere", .release = deleteInstance<Box>};
  Value v = Value::fromInteger(1);
  EXPECT_EQ(newInstance(engine(), unregistered, &v, std::make_unique<Box>(1)), nullptr);
  EXPECT_EQ(v.tag, Tag::Null);
  EXPECT_EQ(gLive, 0);
  EXPECT_EQ(hostClassState(engine(), unregistered), nullptr);
}

// Publishing hands the data to the instance at once: when the instance cannot be made, the class's
// release frees it before the error propagates, and nothing frees it again (under ASan a second
// free would stop the test).
TEST_F(HostClassHelperTest, DataPublishedIntoAFullHeapIsReleasedExactlyOnce) {
  engine().heap.systemLimit = engine().heap.systemBytes;  // no further chunks
  int attempts = 0;
  bool ok = protectedCall(engine(), [&] {
    for (;;) {
      ++attempts;
      construct(cls, {Value::fromInteger(attempts)});
    }
  });
  EXPECT_FALSE(ok);
  EXPECT_STREQ(engine().message, "Runtime error: Out of memory");
  engine().heap.systemLimit = 0;
  collect();
  EXPECT_EQ(gLive, 0);  // every Box made, the refused one too, was freed once
  EXPECT_EQ(hostState<BoxState>(engine(), kBoxClass)->made, attempts);
}

TEST_F(HostClassHelperTest, ConstructAndCallHandlersReadTheStateOfTheirEngine) {
  EXPECT_EQ(construct(cls, {str("not a number")}).tag, Tag::Null);
  Value a = construct(cls, {Value::fromInteger(3)});
  keep("a", a);
  construct(cls, {Value::fromInteger(5)});
  EXPECT_EQ(callOn(globalSlot(engine(), "Box"), {}).integer(), 2);  // the class object: the count
  EXPECT_EQ(callOn(a, {}).integer(), 3);                           // an instance: its value
  // Each engine has its own state.
  Engine* second = createEngine(EngineConfig{});
  ASSERT_NE(second, nullptr);
  NativeClass* secondClass = defineHostClass(*second, kBoxClass);
  EXPECT_EQ(hostState<BoxState>(*second, kBoxClass)->made, 0);
  EXPECT_EQ(hostClass(*second, kBoxClass), secondClass);
  destroyEngine(second);
}

TEST_F(HostClassHelperTest, StateKeepsItsValuesThroughCollections) {
  BoxState* state = hostState<BoxState>(engine(), kBoxClass);
  state->favourite = str("kept by the state");
  collect();
  collect();
  EXPECT_EQ(text(state->favourite), "kept by the state");
}

void answer(HostCall& call) {
  call.result->setInteger(call.args.count() * 10 + (call.self ? 1 : 0));
}
const HostFunctionEntry kFunctions[] = {{"answer", answer}, {"again", answer}};

TEST_F(HostClassHelperTest, HostFunctionsTakeTheSameCallAsMembers) {
  defineHostFunctions(engine(), kFunctions);
  for (const char* name : {"answer", "again"}) {
    Value f = globalSlot(engine(), name);
    ASSERT_EQ(f.tag, Tag::Native) << name;
    EXPECT_EQ(callOn(f, {Value::fromInteger(1), Value::fromInteger(2)}).integer(), 20) << name;
    EXPECT_EQ(hostClassInfo(f.native()->cls), nullptr) << name;  // not a class
  }
}

// A collection: three squares, reachable as c[i] and by for-in; c[i] = v writes through.
struct Squares {
  int64_t items[3] = {0, 1, 4};
};
bool squaresGet(HostCall& call, const Value& key) {
  if (key.tag != Tag::Integer || key.integer() < 0 || key.integer() > 2) return false;
  call.result->setInteger(call.instance<Squares>()->items[key.integer()]);
  return true;
}
bool squaresSet(HostCall& call, const Value& key, const Value& value) {
  if (key.tag != Tag::Integer || key.integer() < 0 || key.integer() > 2 || value.tag != Tag::Integer) return false;
  call.instance<Squares>()->items[key.integer()] = value.integer();
  return true;
}
bool squaresAt(HostCall& call, uint64_t index) { return index < 3 && squaresGet(call, Value::fromInteger(int64_t(index))); }
void squaresConstruct(HostCall& call) { call.publish(std::make_unique<Squares>()); }
const HostItems kSquaresItems = {squaresGet, squaresSet, squaresAt};
const HostClassInfo kSquaresClass = {
    .name = "Squares",
    .construct = squaresConstruct,
    .release = deleteInstance<Squares>,
    .items = &kSquaresItems,
};

TEST_F(HostClassHelperTest, ItemAccessGoesThroughTheClassItemOperation) {
  NativeClass* squares = defineHostClass(engine(), kSquaresClass);
  ASSERT_NE(squares->item, nullptr);
  EXPECT_EQ(cls->item, nullptr);  // a class without items leaves the usual rules alone
  Value s = construct(squares, {});
  keep("s", s);
  void* data = s.native()->data;
  Value out;
  EXPECT_TRUE(squares->item(engine(), squares, data, ItemAccess::Get, Value::fromInteger(2), &out));
  EXPECT_EQ(out.integer(), 4);
  EXPECT_FALSE(squares->item(engine(), squares, data, ItemAccess::Get, Value::fromInteger(7), &out));
  Value nine = Value::fromInteger(9);
  EXPECT_TRUE(squares->item(engine(), squares, data, ItemAccess::Set, Value::fromInteger(1), &nine));
  std::vector<int64_t> seen;
  for (int64_t i = 0; squares->item(engine(), squares, data, ItemAccess::At, Value::fromInteger(i), &out); ++i) {
    seen.push_back(out.integer());
  }
  EXPECT_EQ(seen, (std::vector<int64_t>{0, 9, 4}));
  // The class object is no collection.
  EXPECT_FALSE(squares->item(engine(), squares, nullptr, ItemAccess::Get, Value::fromInteger(0), &out));
}

// Names beginning with "x" exist at run time; "xsize" is in the table and must win over them.
struct Bag {
  std::vector<std::string> written;
};
bool knownName(Engine& engine, Atom name) { return nameOf(engine, name)[0] == 'x'; }
void bagSize(HostCall& call) { call.result->setInteger(int64_t(call.instance<Bag>()->written.size())); }
bool bagInvoke(HostCall& call, Atom name) {
  if (!knownName(call.engine, name)) return false;
  call.result->setInteger(call.args.count());
  return true;
}
bool bagGet(HostCall& call, Atom name) {
  if (!knownName(call.engine, name)) return false;
  call.result->setInteger(int64_t(std::string(nameOf(call.engine, name)).size()));
  return true;
}
bool bagSet(HostCall& call, Atom name, const Value&) {
  if (!knownName(call.engine, name)) return false;
  call.instance<Bag>()->written.push_back(nameOf(call.engine, name));
  return true;
}
void bagConstruct(HostCall& call) { call.publish(std::make_unique<Bag>()); }
const HostMethodEntry kBagMethods[] = {{"xsize", bagSize}};
const HostDynamicMembers kBagDynamic = {bagInvoke, bagGet, bagSet};
const HostClassInfo kBagClass = {
    .name = "Bag",
    .methods = kBagMethods,
    .construct = bagConstruct,
    .release = deleteInstance<Bag>,
    .dynamic = &kBagDynamic,
};

TEST_F(HostClassHelperTest, DynamicMembersAnswerWhatTheTablesDoNot) {
  NativeClass* bag = defineHostClass(engine(), kBagClass);
  Value b = construct(bag, {});
  keep("b", b);
  void* data = b.native()->data;
  auto block = argumentBlock({Value::fromInteger(1), Value::fromInteger(2)});
  Value out;
  ASSERT_TRUE(bag->invoke(engine(), bag, data, intern(engine(), "xyz"), &out, block.data()));
  EXPECT_EQ(out.integer(), 2);
  EXPECT_FALSE(bag->invoke(engine(), bag, data, intern(engine(), "other"), &out, block.data()));
  // The table wins over a run-time name; toString keeps its fixed answer.
  ASSERT_TRUE(bag->invoke(engine(), bag, data, intern(engine(), "xsize"), &out, block.data()));
  EXPECT_EQ(out.integer(), 0);
  ASSERT_TRUE(bag->invoke(engine(), bag, data, intern(engine(), "toString"), &out, block.data()));
  EXPECT_EQ(out.tag, Tag::String);

  ASSERT_NE(bag->property, nullptr);  // a class with run-time names has a property operation
  ASSERT_TRUE(bag->property(engine(), bag, data, intern(engine(), "xlong"), false, &out));
  EXPECT_EQ(out.integer(), 5);
  Value v = Value::fromInteger(7);
  EXPECT_TRUE(bag->property(engine(), bag, data, intern(engine(), "xset"), true, &v));
  EXPECT_FALSE(bag->property(engine(), bag, data, intern(engine(), "plain"), true, &v));
  EXPECT_EQ(static_cast<Bag*>(data)->written, std::vector<std::string>{"xset"});
  // The class object has no run-time members.
  EXPECT_FALSE(bag->invoke(engine(), bag, nullptr, intern(engine(), "xyz"), &out, block.data()));
  EXPECT_FALSE(bag->property(engine(), bag, nullptr, intern(engine(), "xlong"), false, &out));
}

}  // namespace
}  // namespace vexil::script::test
