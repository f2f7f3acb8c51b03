#include <string>
#include <vector>

#include "runtime_fixture.h"
#include "script/runtime/name_index.h"
#include "script/runtime/property_table.h"
#include "script/runtime/string_hash.h"

namespace vexil::script::test {
namespace {

class PropertyTableTest : public RuntimeTest {
 protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    table = newTable(engine());
    keep("table", Value::fromObject(table));
  }
  Value get(const char* name) { return getProperty(engine(), table, atom(name)); }
  void set(const char* name, const Value& v) { setProperty(engine(), table, atom(name), v); }
  std::vector<std::string> forInNames() {
    std::vector<std::string> names;
    Value name;
    for (uint32_t n = 0; nameAt(engine(), table, n, &name); ++n) names.push_back(text(name));
    return names;
  }
  PropertyTable* table = nullptr;
};

TEST(StringHash, MatchesTheSharedFormula) {
  EXPECT_EQ(stringHash(""), 0u);
  EXPECT_EQ(stringHash("a"), 97u);
  EXPECT_EQ(stringHash("one"), 111038u);
  EXPECT_EQ(stringHash("three"), 125153474u);
  EXPECT_EQ(stringHash("\xFF"), 255u);  // bytes are unsigned
}

TEST_F(PropertyTableTest, NewTableIsEmptyWithoutIndex) {
  EXPECT_EQ(table->count, 0u);
  EXPECT_EQ(table->entries, nullptr);
  EXPECT_EQ(table->chains, nullptr);
  Value v = Value::fromInteger(9);
  EXPECT_FALSE(getProperty(engine(), table, atom("missing"), &v));
  EXPECT_EQ(v.tag, Tag::Undefined);
}

TEST_F(PropertyTableTest, SetOverwritesAndGrowsOneEntryAtATime) {
  set("a", Value::fromInteger(1));
  set("b", Value::fromInteger(2));
  PropertyEntry* entries = table->entries;
  set("a", Value::fromInteger(3));
  EXPECT_EQ(table->count, 2u);
  EXPECT_EQ(get("a").integer(), 3);
  EXPECT_EQ(table->entries[0].word, 0u);
  set("c", Value::fromInteger(4));  // still fits the power-of-two block
  if (sizeof(PropertyEntry) * 3 <= blockSize(entries)) {
    EXPECT_EQ(table->entries, entries);
  }
}

TEST_F(PropertyTableTest, RemovedEntryIsReusedByNameButNotByTextKey) {
  set("a", Value::fromInteger(1));
  set("b", Value::fromInteger(2));
  set("c", Value::fromInteger(3));
  removeProperty(engine(), table, atom("b"));
  EXPECT_EQ(table->entries[1].atom, kDeletedAtom);
  EXPECT_EQ(table->entries[1].value.tag, Tag::Undefined);
  Value out;
  EXPECT_FALSE(getProperty(engine(), table, atom("b"), &out));

  set("d", Value::fromInteger(4));
  EXPECT_EQ(table->count, 3u);
  EXPECT_EQ(table->entries[1].atom, atom("d"));

  removeProperty(engine(), table, atom("d"));
  setByKey(engine(), table, str("e"), Value::fromInteger(5));
  EXPECT_EQ(table->count, 4u);
  EXPECT_EQ(table->entries[3].atom, atom("e"));
  EXPECT_EQ(get("e").integer(), 5);
  // The deleted mark is not a name: holes are neither found nor written through it.
  Value hole;
  EXPECT_FALSE(getProperty(engine(), table, kDeletedAtom, &hole));
  setProperty(engine(), table, kDeletedAtom, Value::fromInteger(6));
  EXPECT_EQ(table->entries[1].value.tag, Tag::Undefined);
}

TEST_F(PropertyTableTest, OwnValueShadowsThePrototypeUntilRemoved) {
  PropertyTable* proto = newTable(engine());
  setProperty(engine(), proto, atom("x"), str("from proto"));
  setProperty(engine(), proto, atom("onlyProto"), Value::fromInteger(7));
  set("__proto__", Value::fromObject(proto));
  set("x", str("own"));
  EXPECT_EQ(text(get("x")), "own");
  EXPECT_EQ(get("onlyProto").integer(), 7);
  removeProperty(engine(), table, atom("x"));
  EXPECT_EQ(text(get("x")), "from proto");
}

TEST_F(PropertyTableTest, OnlyObjectPrototypeLinksAreFollowed) {
  PropertyTable* proto = newTable(engine());
  setProperty(engine(), proto, atom("x"), Value::fromInteger(1));
  NativeClass* cls = newClass(engine());
  Value native;
  makeNative(engine(), &native, cls, nullptr);
  for (Value link : {native, makeTestArray(engine(), {}), Value::fromInteger(5), Value::null()}) {
    set("__proto__", link);
    Value out;
    EXPECT_FALSE(getProperty(engine(), table, atom("x"), &out)) << int(link.tag);
  }
  // The last Object-valued "__proto__" entry seen wins.
  PropertyTable* other = newTable(engine());
  setProperty(engine(), other, atom("x"), Value::fromInteger(2));
  setByKey(engine(), table, Value::fromInteger(3), Value::fromObject(proto));  // atom 0 entries
  setByKey(engine(), table, Value::fromInteger(5), Value::fromObject(other));
  EXPECT_EQ(get("x").integer(), 2);
}

TEST_F(PropertyTableTest, PrototypeCyclesEndTheLookup) {
  for (int length : {1, 2, 3, 17}) {
    std::vector<PropertyTable*> ring;
    for (int i = 0; i < length; ++i) ring.push_back(newTable(engine()));
    for (int i = 0; i < length; ++i) {
      setProperty(engine(), ring[i], kAtomProto, Value::fromObject(ring[(i + 1) % length]));
    }
    setProperty(engine(), ring.back(), atom("found"), Value::fromInteger(length));
    Value out;
    EXPECT_FALSE(getProperty(engine(), ring[0], atom("absent"), &out)) << length;
    EXPECT_TRUE(getProperty(engine(), ring[0], atom("found"), &out));
    EXPECT_EQ(out.integer(), length);
  }
}

TEST_F(PropertyTableTest, ForInFollowsTheIndexChainsNotInsertion) {
  set("one", Value::fromInteger(1));
  set("two", Value::fromInteger(2));
  set("three", Value::fromInteger(3));
  // Chains by hash: "two" 18, "one" 62, "three" 66.
  EXPECT_EQ(forInNames(), (std::vector<std::string>{"two", "one", "three"}));
  removeProperty(engine(), table, atom("one"));
  EXPECT_EQ(forInNames(), (std::vector<std::string>{"two", "three"}));
  // Prototype names are not enumerated.
  PropertyTable* proto = newTable(engine());
  setProperty(engine(), proto, atom("inherited"), Value::fromInteger(1));
  set("__proto__", Value::fromObject(proto));
  EXPECT_EQ(forInNames(), (std::vector<std::string>{"__proto__", "two", "three"}));
}

TEST_F(PropertyTableTest, ForInWithinAChainIsNewestFirst) {
  // "a" and a name sharing its chain: the one indexed later comes first.
  std::string partner;
  for (int i = 0; partner.empty(); ++i) {
    std::string candidate = "n" + std::to_string(i);
    if ((stringHash(candidate) & 127) == (stringHash("a") & 127)) partner = candidate;
  }
  set("a", Value::fromInteger(1));
  set(partner.c_str(), Value::fromInteger(2));
  EXPECT_EQ(forInNames(), (std::vector<std::string>{partner, "a"}));
}

TEST_F(PropertyTableTest, IntegerKeysAddressEntryPositions) {
  set("first", Value::fromInteger(10));
  set("second", Value::fromInteger(20));
  setByKey(engine(), table, Value::fromInteger(5), str("sixth"));
  ASSERT_EQ(table->count, 6u);
  EXPECT_EQ(text(table->entries[5].value), "sixth");
  for (uint32_t i = 2; i < 5; ++i) {
    EXPECT_EQ(table->entries[i].atom, 0);
    EXPECT_EQ(table->entries[i].value.tag, Tag::Undefined);
  }
  EXPECT_EQ(getByKey(engine(), table, Value::fromInteger(1)).integer(), 20);  // whatever its name
  // Writing a position keeps the entry's name.
  setByKey(engine(), table, Value::fromInteger(0), Value::fromInteger(11));
  EXPECT_EQ(get("first").integer(), 11);
  EXPECT_EQ(getByKey(engine(), table, Value::fromInteger(6)).tag, Tag::Undefined);
  removeByKey(engine(), table, Value::fromInteger(1));
  Value out;
  EXPECT_FALSE(getProperty(engine(), table, atom("second"), &out));
  EXPECT_EQ(table->entries[1].atom, kDeletedAtom);
}

TEST_F(PropertyTableTest, KeysOfOtherKindsAreIgnored) {
  set("x", Value::fromInteger(1));
  const Value keys[] = {Value::fromInteger(-1), Value::fromInteger(int64_t(1) << 32), Value::fromReal(0.0),
                        Value::null(), Value::fromBoolean(true), Value::fromName(atom("x"))};
  for (const Value& key : keys) {
    EXPECT_EQ(getByKey(engine(), table, key).tag, Tag::Undefined);
    setByKey(engine(), table, key, Value::fromInteger(2));
    removeByKey(engine(), table, key);
  }
  EXPECT_EQ(table->count, 1u);
  EXPECT_EQ(get("x").integer(), 1);
}

TEST_F(PropertyTableTest, TextKeysUseTheNameIndexAndSkipPrototypes) {
  PropertyTable* proto = newTable(engine());
  setProperty(engine(), proto, atom("inherited"), Value::fromInteger(1));
  set("__proto__", Value::fromObject(proto));
  set("own", Value::fromInteger(2));
  EXPECT_EQ(getByKey(engine(), table, str("own")).integer(), 2);
  EXPECT_NE(table->chains, nullptr);
  EXPECT_EQ(getByKey(engine(), table, str("inherited")).tag, Tag::Undefined);

  setByKey(engine(), table, str("own"), Value::fromInteger(3));
  EXPECT_EQ(get("own").integer(), 3);
  setByKey(engine(), table, str("caf\xE9"), Value::fromInteger(4));  // names are ANSI
  EXPECT_EQ(get("caf\xE9").integer(), 4);
  removeByKey(engine(), table, str("own"));
  EXPECT_EQ(getByKey(engine(), table, str("own")).tag, Tag::Undefined);
  Value out;
  EXPECT_FALSE(getProperty(engine(), table, atom("own"), &out));
  // A name set by atom after the index exists is indexed too.
  set("later", Value::fromInteger(5));
  EXPECT_EQ(getByKey(engine(), table, str("later")).integer(), 5);
}

TEST_F(PropertyTableTest, AttachedTableLinksToTheDescriptorPrototype) {
  NativeClass* stringClass = newClass(engine());
  setClassDescriptor(engine(), Tag::String, stringClass);
  setProperty(engine(), stringClass->prototype, atom("shared"), Value::fromInteger(8));
  Value s = str("text");
  keep("s", s);
  attachTable(engine(), Tag::String, &s.string()->props);
  EXPECT_EQ(getProperty(engine(), s.string()->props, atom("shared")).integer(), 8);
  collect();
  EXPECT_EQ(getProperty(engine(), s.string()->props, atom("shared")).integer(), 8);
  // A tag without a descriptor gets a table with no link.
  PropertyTable* plain = nullptr;
  attachTable(engine(), Tag::Function, &plain);
  EXPECT_EQ(plain->count, 0u);
}

TEST_F(PropertyTableTest, SetWithAValueFromTheSameTableSurvivesGrowth) {
  set("a", str("copied"));
  for (int i = 0; i < 40; ++i) {
    setProperty(engine(), table, atom(("k" + std::to_string(i)).c_str()), table->entries[0].value);
  }
  EXPECT_EQ(text(get("k39")), "copied");
}

}  // namespace
}  // namespace vexil::script::test
