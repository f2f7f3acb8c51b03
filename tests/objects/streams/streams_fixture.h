#pragma once
// The host-class fixture with the stream classes registered, and a scratch directory.
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
#include "tests/support/host_class_fixture.h"

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

class StreamsTest : public vexil::test::HostClassFixture {
 protected:
  // Closed streams answer nothing: tests check `handled` themselves.
  StreamsTest() { strictCalls = false; }
  void addClasses(script::ClassRegistry& registry) override {
    registry.set(script::ClassStep::Streams, registerStreams).set(script::ClassStep::StringStream, registerStringStream);
  }

  // A class called as a function (which constructs), the result held.
  Value make(const char* className, std::initializer_list<Value> args = {}) { return callGlobal(className, args); }
  // A StringStream holding the bytes.
  Value stringStream(const Bytes& content) {
    Value v;
    newStringStream(engine(), &v, content);
    return hold(v);
  }

  // The content of a StringStream value.
  static Bytes content(const Value& v) {
    const StringStream* s = stringStreamOf(v);
    if (!s) return {};
    return Bytes(s->bytes().begin(), s->bytes().end());
  }
};

}  // namespace vexil::objects::test
