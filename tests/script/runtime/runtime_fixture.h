#pragma once
// A fresh engine per test, and small helpers for building and reading values.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>

#include "platform/text_encoding.h"
#include "script/runtime/atom_table.h"
#include "script/runtime/collector.h"
#include "script/runtime/engine.h"
#include "script/runtime/native_class.h"
#include "script/runtime/script_string.h"

namespace vexil::script::test {

class RuntimeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    engine_ = createEngine(config_);
    ASSERT_NE(engine_, nullptr);
  }
  void TearDown() override { destroyEngine(engine_); }

  Engine& engine() { return *engine_; }
  Value str(std::string_view ansi) { return makeStringFromAnsi(*engine_, ansi); }
  static std::string text(const Value& v) {
    return v.tag == Tag::String ? platform::utf16ToAnsi(v.string()->view()) : "<not a string>";
  }
  Atom atom(const char* name) { return intern(*engine_, name); }
  // Keeps a value reachable from the global of that name.
  void keep(const char* name, const Value& v) { globalSlot(*engine_, name) = v; }
  size_t collect() { return collectGarbage(*engine_, engine_->sp); }

  EngineConfig config_;
  Engine* engine_ = nullptr;
};

}  // namespace vexil::script::test

#include "script/runtime/array_elements.h"
#include "script/runtime/heap_internal.h"

namespace vexil::script::test {

// An array value holding the elements at indices 0, 1, ….
inline Value makeTestArray(Engine& engine, std::initializer_list<Value> elements) {
  ArrayRecord* array = newArray(engine);
  uint64_t index = 0;
  for (const Value& element : elements) storeElement(engine, *array, index++, element);
  Value v;
  v.setArray(array);
  return v;
}

// True when the address lies inside a block on a free list: the collector reclaimed it.
inline bool isReclaimed(Engine& engine, const void* p) {
  auto* at = static_cast<const char*>(p);
  for (void* list : engine.heap.freeLists) {
    for (void* block = list; block; block = freeLink(block)) {
      auto* begin = static_cast<const char*>(block);
      if (at >= begin && at < begin + blockSize(block)) return true;
    }
  }
  return false;
}

}  // namespace vexil::script::test
