// The global functions encodeURI, encodeURIComponent, decodeURI and decodeURIComponent. A text
// they cannot code prints "Invalid URI string" through the trace output and gives Undefined.
#include <string>

#include "script/builtins/builtin_texts.h"
#include "script/builtins/core_builtins.h"
#include "script/builtins/uri_codec.h"
#include "script/runtime/arguments.h"
#include "script/runtime/conversions.h"
#include "script/runtime/engine.h"
#include "script/runtime/native_class.h"
#include "script/runtime/script_string.h"

namespace vexil::script {

namespace {

const std::u16string kEncodeUriUnescaped = std::u16string(kUriUnreserved) + std::u16string(kUriReserved);

void reportInvalidUri(Engine& engine) {
  if (!engine.traceOutput) return;
  std::string line = std::string(kInvalidUriString) + kTraceLineEnd;
  engine.traceOutput(engine.traceData, line.c_str());
}

template <typename Code>
void codeUri(Engine& engine, Value* result, const Value* block, Code&& code) {
  Arguments args(block);
  result->setUndefined();
  if (args.count() == 0) return;
  Value text;
  valueToString(engine, *args.at(1), &text);
  std::optional<std::u16string> coded = code(text.string()->view());
  if (!coded) return reportInvalidUri(engine);
  *result = makeString(engine, *coded);
}

void encodeURI(Engine& engine, NativeClass*, void*, Value* result, const Value* block) {
  codeUri(engine, result, block, [](std::u16string_view t) { return encodeUri(t, kEncodeUriUnescaped); });
}

void encodeURIComponent(Engine& engine, NativeClass*, void*, Value* result, const Value* block) {
  codeUri(engine, result, block, [](std::u16string_view t) { return encodeUri(t, kUriUnreserved); });
}

void decodeURI(Engine& engine, NativeClass*, void*, Value* result, const Value* block) {
  codeUri(engine, result, block, [](std::u16string_view t) { return decodeUri(t, kUriReserved); });
}

void decodeURIComponent(Engine& engine, NativeClass*, void*, Value* result, const Value* block) {
  codeUri(engine, result, block, [](std::u16string_view t) { return decodeUri(t, u""); });
}

}  // namespace

void registerUriFunctions(Engine& engine) {
  defineFunction(engine, "decodeURI", decodeURI);
  defineFunction(engine, "encodeURI", encodeURI);
  defineFunction(engine, "decodeURIComponent", decodeURIComponent);
  defineFunction(engine, "encodeURIComponent", encodeURIComponent);
}

}  // namespace vexil::script
