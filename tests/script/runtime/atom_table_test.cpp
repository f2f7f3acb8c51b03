#include <string>

#include "runtime_fixture.h"
#include "script/runtime/messages.h"

namespace vexil::script::test {
namespace {

using AtomTest = RuntimeTest;

TEST_F(AtomTest, WellKnownAtomsComeFirstInEveryEngine) {
  const char* names[] = {"__proto__", "prototype", "toSource", "toString", "valueOf"};
  for (Atom a = 0; a < 5; ++a) {
    EXPECT_STREQ(nameOf(engine(), a), names[a]);
    EXPECT_EQ(intern(engine(), names[a]), a);
  }
  EXPECT_EQ(kAtomProto, 0);
  EXPECT_EQ(kAtomValueOf, 4);
}

TEST_F(AtomTest, InterningIsStableAndNumbersAreSequential) {
  Atom first = intern(engine(), "alpha");
  Atom second = intern(engine(), "beta");
  EXPECT_EQ(second, first + 1);
  EXPECT_EQ(intern(engine(), "alpha"), first);
  EXPECT_EQ(intern(engine(), "alphabet", 5), first);  // by byte length
  EXPECT_NE(intern(engine(), "Alpha"), first);        // case matters
  EXPECT_EQ(findAtom(engine(), "beta"), second);
  EXPECT_EQ(findAtom(engine(), "never interned"), -1);
}

TEST_F(AtomTest, GlobalSlotsGrowWithTheAtoms) {
  uint32_t before = engine().globals.count;
  for (int i = 0; i < 3000; ++i) intern(engine(), "name" + std::to_string(i));
  EXPECT_EQ(engine().globals.count, before + 3000);
  EXPECT_EQ(engine().globals.capacity % kValueArrayGrowth, 0u);
  EXPECT_GE(engine().globals.capacity, engine().globals.count);
  Atom a = findAtom(engine(), "name2999");
  EXPECT_EQ(engine().globals.data[a].tag, Tag::Undefined);
  EXPECT_STREQ(nameOf(engine(), a), "name2999");
  // Many names share each of the 256 chains; every one is still found.
  for (int i = 0; i < 3000; i += 97) EXPECT_STREQ(nameOf(engine(), findAtom(engine(), "name" + std::to_string(i))), ("name" + std::to_string(i)).c_str());
}

TEST_F(AtomTest, NameOfAnAssignedGlobalIsFoundThroughTheChains) {
  Atom a = intern(engine(), "assigned");
  engine().globals.data[a] = Value::fromInteger(5);
  EXPECT_STREQ(nameOf(engine(), a), "assigned");
  engine().globals.data[a].setUndefined();  // assigned undefined: the payload no longer helps
  EXPECT_STREQ(nameOf(engine(), a), "assigned");
}

TEST_F(AtomTest, UnknownNumbersHaveNoName) {
  EXPECT_STREQ(nameOf(engine(), -1), kUnknownAtomName);
  EXPECT_STREQ(nameOf(engine(), Atom(engine().globals.count)), "???");
  EXPECT_STREQ(nameOf(engine(), 1 << 30), "???");
}

}  // namespace
}  // namespace vexil::script::test
