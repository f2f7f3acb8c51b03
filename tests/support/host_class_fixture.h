#pragma once
// The one fixture host-class tests start from: an engine with the classes a derived fixture adds
// registered, driven the way the virtual machine drives them: construction and method calls through the host call entries, properties through
// the class's property operation. Every value a test keeps is parked in a global, so the collector
// (which may run at each call, and does at every one under VEXIL_GC_STRESS) sees it as live. Trace
// lines are collected in `traced`.
#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text_encoding.h"
#include "script/runtime/arguments.h"
#include "script/runtime/atom_table.h"
#include "script/runtime/call_entries.h"
#include "script/runtime/class_registration.h"
#include "script/runtime/engine.h"
#include "script/runtime/native_class.h"
#include "script/runtime/script_string.h"

namespace vexil::test {

using script::Tag;
using script::Value;

class HostClassFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    addClasses(registry_);
    script::EngineConfig config;
    config.classes = &registry_;
    engine_ = script::createEngine(config);
    ASSERT_NE(engine_, nullptr);
    engine_->traceOutput = [](void* data, const char* line) {
      static_cast<std::vector<std::string>*>(data)->push_back(line);
    };
    engine_->traceData = &traced;
  }
  void TearDown() override { script::destroyEngine(engine_); }
  // Fills the registration steps of the classes under test.
  virtual void addClasses(script::ClassRegistry&) {}

  script::Engine& engine() { return *engine_; }
  // The steps the engine will run; a derived fixture may fill some in its constructor.
  script::ClassRegistry& registry() { return registry_; }

  Value str(std::string_view ansi) { return hold(script::makeStringFromAnsi(*engine_, ansi)); }
  Value str16(std::u16string_view units) { return hold(script::makeString(*engine_, units)); }
  static Value integer(int64_t i) { return Value::fromInteger(i); }
  static Value real(double d) { return Value::fromReal(d); }
  static std::string text(const Value& v) {
    return v.tag == Tag::String ? platform::utf16ToAnsi(v.string()->view()) : "<not a string>";
  }

  // Keeps a value alive for the rest of the test.
  Value hold(const Value& v) {
    script::globalSlot(*engine_, ("held " + std::to_string(held_++)).c_str()) = v;
    return v;
  }

  // new on a class; the result held.
  Value construct(const char* className, std::initializer_list<Value> args = {}) {
    auto block = script::argumentBlock(args);
    Value classObject = script::globalSlot(*engine_, className);
    script::NativeClass* cls = classObject.native()->cls;
    Value result;
    cls->construct(*engine_, cls, block.data(), &result);
    return hold(result);
  }
  // A global called as a function; the result held.
  Value callGlobal(const char* name, std::initializer_list<Value> args = {}) {
    auto block = script::argumentBlock(args);
    EXPECT_TRUE(script::callGlobal(*engine_, name, block.data())) << engine_->message;
    return hold(engine_->lastResult);
  }
  // Runs a method; the result held.
  // handled says whether the object answered the method; unless strictCalls is off, an unanswered
  // method also fails the test.
  Value call(const Value& target, const char* method, std::initializer_list<Value> args = {}) {
    auto block = script::argumentBlock(args);
    handled = script::callMethod(*engine_, target, method, block.data());
    if (strictCalls) {
      EXPECT_TRUE(handled) << engine_->message;
    }
    return hold(engine_->lastResult);
  }
  Value callValue(const Value& callee, std::initializer_list<Value> args = {}) {
    auto block = script::argumentBlock(args);
    EXPECT_TRUE(script::callValue(*engine_, callee, block.data())) << engine_->message;
    return hold(engine_->lastResult);
  }
  Value classObject(const char* name) { return script::globalSlot(*engine_, name); }

  // Reads a property; handled says whether the class knew it.
  Value get(const Value& target, const char* name) {
    Value v;
    handled = property(target, name, false, &v);
    return hold(v);
  }
  void set(const Value& target, const char* name, Value v) { handled = property(target, name, true, &v); }

  bool handled = false;
  bool strictCalls = true;
  std::vector<std::string> traced;

 private:
  bool property(const Value& target, const char* name, bool set, Value* v) {
    script::NativeObject* object = target.native();
    if (!object->cls->property) return false;
    return object->cls->property(*engine_, object->cls, object->data, script::intern(*engine_, name), set, v);
  }

  script::ClassRegistry registry_;
  script::Engine* engine_ = nullptr;
  int held_ = 0;
};

}  // namespace vexil::test
