#pragma once
// The host-class fixture with Date registered, and whatever a derived fixture adds.
#include "objects/date/date_class.h"
#include "tests/support/host_class_fixture.h"

namespace vexil::objects::test {

using script::Tag;
using script::Value;

class ClassTest : public vexil::test::HostClassFixture {
 protected:
  ClassTest() { registry().set(script::ClassStep::Date, registerDate); }
};

}  // namespace vexil::objects::test
