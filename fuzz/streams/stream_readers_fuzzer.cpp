// Any bytes as stream content, read back by the script members in an order the input chooses: the
// first byte of each step picks the member (and the stream kind), the next one its argument. The
// readers must stay inside the content, and a StringStream's positions inside its length.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "objects/streams/stream_classes.h"
#include "script/runtime/arguments.h"
#include "script/runtime/atom_table.h"
#include "script/runtime/call_entries.h"
#include "script/runtime/class_registration.h"
#include "script/runtime/collector.h"
#include "script/runtime/engine.h"
#include "script/runtime/native_class.h"

namespace {

using namespace vexil;
using script::Value;

const char* const kReaders[] = {"get",      "getShort",   "getLong",           "getFloat", "getDouble",
                                "readLine", "readString", "readUnicodeString", "read",     "unget"};

script::Engine& engine() {
  static script::ClassRegistry registry = script::ClassRegistry()
                                              .set(script::ClassStep::Streams, objects::registerStreams)
                                              .set(script::ClassStep::StringStream, objects::registerStringStream);
  static script::Engine* engine = [] {
    script::EngineConfig config;
    config.classes = &registry;
    return script::createEngine(config);
  }();
  return *engine;
}

void setProperty(script::Engine& e, const Value& target, const char* name, Value v) {
  script::NativeObject* object = target.native();
  object->cls->property(e, object->cls, object->data, script::intern(e, name), true, &v);
}

void readAll(script::Engine& e, const Value& stream, const uint8_t* ops, size_t count) {
  for (size_t i = 0; i + 1 < count; i += 2) {
    uint8_t pick = ops[i] % (std::size(kReaders) + 1);
    if (pick == std::size(kReaders)) {
      setProperty(e, stream, objects::stringStreamOf(stream) ? "getPos" : "pos", Value::fromInteger(ops[i + 1]));
      continue;
    }
    auto args = script::argumentBlock({Value::fromInteger(int64_t(ops[i + 1]) - 8)});
    script::callMethod(e, stream, kReaders[pick], args.data());
  }
}

}  // namespace

// Layout: one byte of step count n, then n steps of two bytes, then the content.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  size_t steps = std::min<size_t>(data[0], (size - 1) / 2);
  const uint8_t* ops = data + 1;
  std::vector<uint8_t> content(ops + steps * 2, data + size);
  script::Engine& e = engine();

  Value text;
  objects::StringStream* buffer = objects::newStringStream(e, &text, content);
  script::globalSlot(e, "fuzz text") = text;
  readAll(e, text, ops, steps * 2);
  if (buffer->getPos() > buffer->size() || buffer->size() != content.size()) std::abort();

  // The same content through a temporary file.
  if (script::callGlobal(e, "FileStream", nullptr) && e.lastResult.tag == script::Tag::Native) {
    Value file = e.lastResult;
    script::globalSlot(e, "fuzz file") = file;
    auto write = script::argumentBlock({text});
    script::callMethod(e, file, "write", write.data());
    setProperty(e, file, "pos", Value::fromInteger(0));
    readAll(e, file, ops, steps * 2);
    script::callMethod(e, file, "close", nullptr);
  }
  script::globalSlot(e, "fuzz text").setUndefined();
  script::globalSlot(e, "fuzz file").setUndefined();
  e.lastResult.setUndefined();
  script::collectGarbage(e, e.sp);
  return 0;
}
