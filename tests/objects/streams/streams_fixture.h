#pragma once
// An engine with the stream classes registered, driven the way the virtual machine drives them:
// construction and method calls through the host call entries, properties through the class's
// property operation. Every value a test keeps is parked in a global, so the collector (which may
// run at each call, and does at every one under VEXIL_GC_STRESS) sees it as live.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "objects/streams/stream_classes.h"
#include "platform/environment.h"
#include "platform/text_encoding.h"
#include "script/runtime/arguments.h"
#include "script/runtime/atom_table.h"
#include "script/runtime/call_entries.h"
#include "script/runtime/class_registration.h"
#include "script/runtime/engine.h"
#include "script/runtime/native_class.h"
#include "script/runtime/script_string.h"

namespace vexil::objects::test {

using script::Tag;
using script::Value;
using Bytes = std::vector<uint8_t>;

inline Bytes bytesOf(std::string_view text) { return Bytes(text.begin(), text.end()); }

// A fresh directory under the system's temporary directory, removed with what it holds.
struct TempDir {
  std::filesystem::path path = std::filesystem::temp_directory_path() / ("vx-streams-" + platform::newGuidText());
  TempDir() { std::filesystem::create_directories(path); }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
  std::string file(std::string_view name) const { return (path / name).string(); }
};

class StreamsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    registry_.set(script::ClassStep::Streams, registerStreams)
        .set(script::ClassStep::StringStream, registerStringStream);
    script::EngineConfig config;
    config.classes = &registry_;
    engine_ = script::createEngine(config);
    ASSERT_NE(engine_, nullptr);
  }
  void TearDown() override { script::destroyEngine(engine_); }

  script::Engine& engine() { return *engine_; }

  Value str(std::string_view ansi) { return hold(script::makeStringFromAnsi(*engine_, ansi)); }
  Value integer(int64_t i) { return Value::fromInteger(i); }
  Value real(double d) { return Value::fromReal(d); }
  static std::string text(const Value& v) {
    return v.tag == Tag::String ? platform::utf16ToAnsi(v.string()->view()) : "<not a string>";
  }

  // Keeps a value alive for the rest of the test.
  Value hold(const Value& v) {
    script::globalSlot(*engine_, ("held " + std::to_string(held_++)).c_str()) = v;
    return v;
  }

  // A class called as a function (which constructs), the result held.
  Value make(const char* className, std::initializer_list<Value> args = {}) {
    auto block = script::argumentBlock(args);
    EXPECT_TRUE(script::callGlobal(*engine_, className, block.data())) << engine_->message;
    return hold(engine_->lastResult);
  }
  // A StringStream holding the bytes.
  Value stringStream(const Bytes& content) {
    Value v;
    newStringStream(*engine_, &v, content);
    return hold(v);
  }

  // Runs a method; handled says whether the object answered it. The result is held.
  Value call(const Value& target, const char* method, std::initializer_list<Value> args = {}) {
    auto block = script::argumentBlock(args);
    handled = script::callMethod(*engine_, target, method, block.data());
    return hold(engine_->lastResult);
  }
  Value get(const Value& target, const char* name) {
    Value v;
    handled = property(target, name, false, &v);
    return hold(v);
  }
  void set(const Value& target, const char* name, Value v) { handled = property(target, name, true, &v); }

  // The content of a StringStream value.
  static Bytes content(const Value& v) {
    const StringStream* s = stringStreamOf(v);
    if (!s) return {};
    return Bytes(s->bytes().begin(), s->bytes().end());
  }

  bool handled = false;

 private:
  bool property(const Value& target, const char* name, bool set, Value* v) {
    script::NativeObject* object = target.native();
    return object->cls->property(*engine_, object->cls, object->data, script::intern(*engine_, name), set, v);
  }

  script::ClassRegistry registry_;
  script::Engine* engine_ = nullptr;
  int held_ = 0;
};

}  // namespace vexil::objects::test
