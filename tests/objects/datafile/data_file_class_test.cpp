// DataFile against an engine: what a save writes loads back, and what cannot be written or read
// whole is refused whole.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "objects/datafile/data_file_class.h"
#include "platform/file_system.h"
#include "script/runtime/array_elements.h"
#include "script/runtime/property_table.h"
#include "tests/support/host_class_fixture.h"

namespace vexil::objects::datafile {
namespace {

using script::Tag;
using script::Value;

class DataFileTest : public vexil::test::HostClassFixture {
 protected:
  void addClasses(script::ClassRegistry& registry) override {
    registry.set(script::ClassStep::DataFile, registerDataFile);
  }
  void TearDown() override {
    platform::deleteFile(path_);
    HostClassFixture::TearDown();
  }

  Value& global(const char* name) { return script::globalSlot(engine(), name); }
  Value newArrayIn(const char* name) {
    script::ArrayRecord* array = script::newArray(engine());
    global(name).setArray(array);
    script::attachTable(engine(), Tag::Array, &array->props);
    return global(name);
  }
  Value newObjectIn(const char* name) {
    global(name).setObject(script::newTable(engine()));
    return global(name);
  }
  void put(const Value& object, const char* name, const Value& v) {
    script::setProperty(engine(), object.table(), script::intern(engine(), name), v);
  }
  Value save(std::initializer_list<const char*> names) {
    std::vector<Value> args = {str(path_)};
    for (const char* n : names) args.push_back(str(n));
    std::vector<Value> full = {Value::fromInteger(int64_t(args.size()))};
    full.insert(full.end(), args.begin(), args.end());
    EXPECT_TRUE(script::callMethod(engine(), classObject("DataFile"), "save", full.data())) << engine().message;
    return engine().lastResult;
  }
  bool load() { return call(classObject("DataFile"), "load", {str(path_)}).boolean(); }
  void writeFile(std::string_view text) { platform::writeWholeFile(path_, text.data(), text.size()); }
  std::string text(const Value& v) { return HostClassFixture::text(v); }

  // The plain and the collector-stress runs of this suite share a folder and may run at once.
  std::string path_ = "data_file_test_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
                      (std::getenv("VEXIL_GC_STRESS") ? "_gc" : "") + ".ini";
};

TEST_F(DataFileTest, SavedGlobalsOfEveryKindLoadBackAfterTheyAreCleared) {
  global("n") = Value::fromInteger(-42);
  global("r") = Value::fromReal(0.1 + 0.2);
  global("t") = Value::fromBoolean(true);
  global("s") = str16(u"a=b\r\n[x]\n \u4e2d\u00e9 ");
  Value list = newArrayIn("list");
  script::storeElement(engine(), *list.array(), 0, str("zero"));
  script::storeElement(engine(), *list.array(), 5000000, Value::fromInteger(7));
  Value object = newObjectIn("o");
  put(object, "inner", list);
  put(object, "flag", Value::fromBoolean(false));
  EXPECT_TRUE(save({"n", "r", "t", "s", "list", "o"}).boolean());
  for (const char* name : {"n", "r", "t", "s", "list", "o"}) global(name).setUndefined();

  EXPECT_TRUE(load());
  EXPECT_EQ(global("n").integer(), -42);
  EXPECT_EQ(global("r").real(), 0.1 + 0.2);
  EXPECT_TRUE(global("t").is(Tag::Boolean) && global("t").boolean());
  EXPECT_EQ(global("s").string()->view(), u"a=b\r\n[x]\n \u4e2d\u00e9 ");
  ASSERT_TRUE(global("list").is(Tag::Array));
  EXPECT_EQ(global("list").array()->length(), 5000001u);
  EXPECT_EQ(text(*script::findElement(*global("list").array(), 0)), "zero");
  ASSERT_TRUE(global("o").is(Tag::Object));
  Value inner = script::getProperty(engine(), global("o").table(), script::intern(engine(), "inner"));
  ASSERT_TRUE(inner.is(Tag::Array));
  EXPECT_EQ(script::findElement(*inner.array(), 5000000)->integer(), 7);
}

TEST_F(DataFileTest, CyclesFunctionsUndefinedAndUnwritableNamesAreRefusedAndWriteNothing) {
  Value cycle = newArrayIn("cycle");
  script::storeElement(engine(), *cycle.array(), 0, cycle);
  Value object = newObjectIn("selfish");
  put(object, "me", object);
  Value dotted = newObjectIn("dotted");
  put(dotted, "a.b", Value::fromInteger(1));
  for (const char* name : {"cycle", "selfish", "dotted", "DataFile", "never defined", "a.b", "a b"}) {
    EXPECT_FALSE(save({name}).boolean()) << name;
  }
  EXPECT_FALSE(platform::fileExists(path_));
  // A shared (not cyclic) container is written at each place.
  Value shared = newArrayIn("shared");
  Value twice = newArrayIn("twice");
  script::storeElement(engine(), *twice.array(), 0, shared);
  script::storeElement(engine(), *twice.array(), 1, shared);
  EXPECT_TRUE(save({"twice"}).boolean());
}

TEST_F(DataFileTest, ASaveReplacesEverySectionOfAnEarlierLongerSave) {
  Value list = newArrayIn("list");
  for (uint64_t i = 0; i < 3; ++i) script::storeElement(engine(), *list.array(), i, Value::fromInteger(int64_t(i)));
  global("other") = Value::fromInteger(5);
  EXPECT_TRUE(save({"list", "other"}).boolean());
  Value shorter = newArrayIn("list");
  script::storeElement(engine(), *shorter.array(), 0, Value::fromInteger(9));
  EXPECT_TRUE(save({"list"}).boolean());
  global("list").setUndefined();
  global("other").setUndefined();
  EXPECT_TRUE(load());
  EXPECT_EQ(global("list").array()->length(), 1u);
  EXPECT_EQ(global("other").integer(), 5);
}

TEST_F(DataFileTest, AVariableWithAnySectionThatDoesNotParseIsNotAppliedAtAll) {
  const char* files[] = {
      "[v]\ntype=array\n[v.0]\ntype=integer\nvalue=1\n[v.1]\ntype=integer\nvalue=oops\n",
      "[v]\ntype=array\n[v.4294967295]\ntype=integer\nvalue=1\n",
      "[v]\ntype=array\n[v.-1]\ntype=integer\nvalue=1\n",
      "[v]\ntype=object\n[v.a.b]\ntype=integer\nvalue=1\n",
      "[v]\ntype=object\n[v.a]\ntype=function\n",
      "[v]\ntype=string\nvalue=\\u12\nencoding=escaped\n",
      "[v]\ntype=string\nvalue=x\nencoding=base64\n",
      "[v]\ntype=array\n[v.0]\nthis line is no entry\n",
      "[v.0]\ntype=integer\nvalue=1\n",
      "[v]\ntype=integer\nvalue=99999999999999999999\n",
  };
  for (const char* file : files) {
    global("v") = Value::fromInteger(-1);
    global("w").setUndefined();
    writeFile(std::string(file) + "[w]\ntype=integer\nvalue=2\n");
    EXPECT_TRUE(load());
    EXPECT_EQ(global("v").integer(), -1) << file;
    EXPECT_EQ(global("w").integer(), 2) << file;  // the file's other variables still load
  }
}

TEST_F(DataFileTest, DefaultsAndCaselessTypesOfHandWrittenFilesApply) {
  writeFile("[a]\nvalue=text\n[b]\nTYPE=Boolean\nvalue=TRUE\n[c]\ntype=integer\n[d]\ntype=float\nvalue=2.5\n");
  EXPECT_TRUE(load());
  EXPECT_EQ(text(global("a")), "text");
  EXPECT_TRUE(global("b").boolean());
  EXPECT_EQ(global("c").integer(), 0);
  EXPECT_EQ(global("d").real(), 2.5);
}

TEST_F(DataFileTest, GarbageOversizedMissingAndBadArgumentsApplyNothing) {
  std::string garbage;
  for (int i = 0; i < 100000; ++i) garbage += char((i * 7919) % 251);
  writeFile(garbage);
  // No global appears: the count of names is the same after the load as before it.
  auto block = script::argumentBlock({str(path_)});
  uint32_t before = engine().globals.count;
  EXPECT_TRUE(script::callMethod(engine(), classObject("DataFile"), "load", block.data()));
  EXPECT_EQ(engine().globals.count, before);
  EXPECT_TRUE(engine().lastResult.boolean());
  writeFile(std::string(17 * 1024 * 1024, '['));
  EXPECT_FALSE(load());
  platform::deleteFile(path_);
  EXPECT_FALSE(load());
  EXPECT_FALSE(call(classObject("DataFile"), "load", {integer(1)}).boolean());
  global("x") = Value::fromInteger(1);
  EXPECT_FALSE(call(classObject("DataFile"), "save", {str(path_), integer(3)}).boolean());
  EXPECT_FALSE(platform::fileExists(path_));
  EXPECT_FALSE(call(classObject("DataFile"), "remove", {str(path_)}).boolean());
}

TEST_F(DataFileTest, AFolderIsNeitherReadNorWritten) {
  platform::createDirectory(path_);
  global("x") = Value::fromInteger(1);
  EXPECT_FALSE(save({"x"}).boolean());
  EXPECT_FALSE(load());
  platform::deleteTree(path_);
}

}  // namespace
}  // namespace vexil::objects::datafile
