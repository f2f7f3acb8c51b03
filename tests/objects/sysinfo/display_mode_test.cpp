#include "objects/sysinfo/display_mode.h"

#include <gtest/gtest.h>

#include "script/runtime/atom_table.h"
#include "script/runtime/property_table.h"
#include "tests/support/host_class_fixture.h"

namespace vexil::objects {
namespace {

using script::Tag;
using script::Value;

class DisplayModeTest : public vexil::test::HostClassFixture {
 protected:
  Value field(const Value& object, const char* name) {
    return script::getProperty(engine(), object.table(), script::intern(engine(), name));
  }
  void put(const Value& object, const char* name, Value v) {
    script::setProperty(engine(), object.table(), script::intern(engine(), name), v);
  }
};

TEST_F(DisplayModeTest, AModeBecomesAnObjectOfFourIntegers) {
  DisplayMode mode;
  mode[DisplayField::BitsPerPel] = 32;
  mode[DisplayField::PelsWidth] = 1280;
  mode[DisplayField::PelsHeight] = 1024;
  mode[DisplayField::DisplayFrequency] = 60;
  Value object;
  makeDisplayModeObject(engine(), mode, &object);
  hold(object);
  ASSERT_EQ(object.tag, Tag::Object);
  EXPECT_EQ(field(object, "bitsPerPel").integer(), 32);
  EXPECT_EQ(field(object, "pelsWidth").integer(), 1280);
  EXPECT_EQ(field(object, "pelsHeight").integer(), 1024);
  EXPECT_EQ(field(object, "displayFrequency").integer(), 60);
}

TEST_F(DisplayModeTest, ARequestHoldsOnlyTheNumericFieldsPresentAndTheTestFlag) {
  Value object = hold(Value::fromObject(script::newTable(engine())));
  put(object, "pelsWidth", integer(800));
  put(object, "pelsHeight", real(600.7));
  put(object, "bitsPerPel", str("16"));
  put(object, "test", integer(1));
  DisplayModeRequest request = readDisplayModeRequest(engine(), object.table());
  EXPECT_EQ(request.fields[size_t(DisplayField::PelsWidth)], 800);
  EXPECT_EQ(request.fields[size_t(DisplayField::PelsHeight)], 600);
  EXPECT_FALSE(request.fields[size_t(DisplayField::BitsPerPel)]);
  EXPECT_FALSE(request.fields[size_t(DisplayField::DisplayFrequency)]);
  EXPECT_TRUE(request.test);
  put(object, "test", Value::fromBoolean(false));
  put(object, "displayFrequency", Value::nan());
  request = readDisplayModeRequest(engine(), object.table());
  EXPECT_FALSE(request.test);
  EXPECT_FALSE(request.fields[size_t(DisplayField::DisplayFrequency)]);
}

}  // namespace
}  // namespace vexil::objects
