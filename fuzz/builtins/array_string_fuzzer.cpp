// Fuzzes the Array and String members with fuzzed receivers and arguments, called the way the
// machine calls them. Input: byte 0 picks the member, byte 1 the receiver kind and the argument
// count, then the arguments (a kind byte and its bytes each), then the receiver's text or elements.
// Far indices stay either below 2^20 or at 2^40 and above, so that no member is asked for a
// gigabyte-sized text (those fail with "Out of memory", which the unit tests pin).
#include <cstdint>
#include <cstring>
#include <vector>

#include "fuzz/conversions/fuzz_text.h"
#include "script/builtins/array_builtin.h"
#include "script/builtins/core_builtins.h"
#include "script/runtime/call_entries.h"
#include "script/runtime/collector.h"
#include "script/runtime/atom_table.h"
#include "script/runtime/engine.h"
#include "script/runtime/native_class.h"
#include "script/runtime/runtime_error.h"
#include "script/runtime/script_string.h"

using namespace vexil::script;

namespace {

const char* const kArrayMembers[] = {"concat", "join", "pop", "push", "reverse", "shift", "slice",
                                     "splice", "sort", "unshift", "toString", "valueOf"};
const char* const kStringMembers[] = {
    "charAt", "charCodeAt", "concat",   "fromCharCode", "indexOf", "lastIndexOf", "match",  "replace",
    "search", "slice",      "split",    "substr",       "substring", "toLowerCase", "toUpperCase",
    "anchor", "big",        "fontColor", "link",        "sup",     "toString",    "valueOf"};

struct Reader {
  const uint8_t* data;
  size_t size;
  size_t at = 0;

  uint8_t byte() { return at < size ? data[at++] : 0; }
  uint64_t word() {
    uint64_t w = 0;
    for (int i = 0; i < 8; ++i) w = w << 8 | byte();
    return w;
  }
  std::u16string text(size_t n, bool raw) {
    size_t take = std::min(n * (raw ? 2 : 1), size - std::min(at, size));
    std::u16string t = fuzz::fuzzText(data + at, take, raw);
    at += take;
    return t;
  }
};

Engine* theEngine() {
  static ClassRegistry registry;
  static Engine* engine = [] {
    EngineConfig config;
    config.classes = &addCoreBuiltins(registry);
    config.heapLimit = size_t(512) << 20;
    return createEngine(config);
  }();
  return engine;
}

uint64_t farIndex(uint64_t w) { return (w >> 63) ? w | (uint64_t(1) << 40) : w & 0xFFFFF; }

Value argument(Engine& engine, Reader& in) {
  switch (in.byte() % 7) {
    case 0: return Value::fromInteger(int64_t(int8_t(in.byte())));
    case 1: return Value::fromInteger(int64_t(farIndex(in.word())));
    case 2: {
      uint64_t bits = in.word();
      double d;
      std::memcpy(&d, &bits, 8);
      return Value::fromReal(d);
    }
    case 3: {
      uint8_t n = in.byte();
      return makeString(engine, in.text(n % 16, n & 0x80));
    }
    case 4: return Value();
    case 5: {
      Value a = newArrayValue(engine);
      for (uint8_t n = in.byte() % 4; n > 0; --n) storeElement(engine, *a.array(), in.byte() % 8, Value::fromInteger(n));
      return a;
    }
    default: return Value::nan();
  }
}

Value receiver(Engine& engine, Reader& in, bool array) {
  if (!array) return makeString(engine, in.text(in.size, in.byte() & 1));
  Value a = newArrayValue(engine);
  while (in.at < in.size) {
    uint8_t kind = in.byte();
    uint64_t index = kind & 0x80 ? farIndex(in.word()) : kind & 0x3F;
    Value v = kind & 0x40 ? makeString(engine, in.text(kind & 3, false)) : Value::fromInteger(kind & 7);
    if (kind == 0xFF) v = Value();
    storeElement(engine, *a.array(), index, v);
  }
  return a;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  Engine& engine = *theEngine();
  Reader in{data, size};
  uint8_t member = in.byte();
  uint8_t shape = in.byte();
  bool array = shape & 0x80;
  bool classObject = (shape & 0x70) == 0x70;
  uint32_t count = shape & 3;
  Value* base = engine.sp;
  std::vector<Value> block(count + 1);
  block[0].setInteger(count);
  protectedCall(engine, [&] {
    for (uint32_t i = 1; i <= count; ++i) {
      block[i] = argument(engine, in);
      pushValue(engine, block[i]);  // kept through the collections a call may run
    }
    Value self = receiver(engine, in, array);
    if (classObject) self = globalSlot(engine, array ? "Array" : "String");
    pushValue(engine, self);
    const char* name = array ? kArrayMembers[member % std::size(kArrayMembers)]
                             : kStringMembers[member % std::size(kStringMembers)];
    if (array && member >= 0xF0) {
      Value length = block.size() > 1 ? block[1] : Value::fromInteger(member & 7);
      NativeClass* cls = classDescriptor(engine, Tag::Array);
      cls->property(engine, cls, &self, findAtom(engine, "length"), true, &length);
      return;
    }
    callMethod(engine, self, name, block.data());
  });
  engine.sp = base;
  engine.lastResult.setUndefined();
  collectGarbage(engine, engine.sp);
  return 0;
}
