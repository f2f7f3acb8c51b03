// Element access on native values goes through the class's item operation, so a collection class
// answers obj[key], obj[key] = value and for-in itself, and the machine never names the class.
#include <memory>

#include "script/runtime/host_class.h"
#include "vm_fixture.h"

namespace vexil::script::test {
namespace {

// Three squares; keys beyond them are left to the usual rules.
struct Squares {
  int64_t items[3] = {0, 1, 4};
};
bool inRange(const Value& key) { return key.tag == Tag::Integer && key.integer() >= 0 && key.integer() < 3; }
bool get(HostCall& call, const Value& key) {
  if (!inRange(key)) return false;
  call.result->setInteger(call.instance<Squares>()->items[key.integer()]);
  return true;
}
bool set(HostCall& call, const Value& key, const Value& value) {
  if (!inRange(key) || value.tag != Tag::Integer) return false;
  call.instance<Squares>()->items[key.integer()] = value.integer();
  return true;
}
bool at(HostCall& call, uint64_t index) { return get(call, Value::fromInteger(int64_t(index))); }
void construct(HostCall& call) { call.publish(std::make_unique<Squares>()); }
void total(HostCall& call) {
  const Squares& s = *call.instance<Squares>();
  call.result->setInteger(s.items[0] + s.items[1] + s.items[2]);
}

const HostPropertyEntry kProperties[] = {{"total", total}};
const HostItems kItems = {get, set, at};
const HostClassInfo kSquaresClass = {
    .name = "Squares",
    .properties = kProperties,
    .construct = construct,
    .release = deleteInstance<Squares>,
    .items = &kItems,
};

class NativeItemsTest : public VmTest {
 protected:
  void SetUp() override {
    VmTest::SetUp();
    defineHostClass(engine(), kSquaresClass);
  }
};

TEST_F(NativeItemsTest, ACollectionClassAnswersIndexingAssignmentAndForIn) {
  ASSERT_TRUE(run("var s = new Squares();\n"
                  "trace(s[2]);\n"
                  "s[1] = 9;\n"
                  "trace(s[1] + ' ' + s.total);\n"
                  "var seen = '';\n"
                  "for (var x in s) seen += x + ',';\n"
                  "trace(seen);\n"
                  "trace(typeof s[7]);\n"                // declined: an Integer key reads Undefined
                  "trace(s['total']);\n"))               // declined: a String key reads the property
      << message();
  EXPECT_EQ(trace_, "4\r\n9 13\r\n0,9,4,\r\nundefined\r\n13\r\n");
}

TEST_F(NativeItemsTest, OtherNativeValuesKeepTheUsualRules) {
  ASSERT_TRUE(run("var d = new Date(0);\n"
                  "trace(typeof d[0]);\n"
                  "var n = 0;\n"
                  "for (var x in d) n++;\n"
                  "trace(n);\n"))
      << message();
  EXPECT_EQ(trace_, "undefined\r\n0\r\n");
}

}  // namespace
}  // namespace vexil::script::test
