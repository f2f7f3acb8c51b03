// The global functions encodeURI, encodeURIComponent, decodeURI and decodeURIComponent. A text
// they cannot code prints "Invalid URI string" through the trace output and gives Undefined.
#include <string>

#include "script/builtins/builtin_texts.h"
#include "script/builtins/core_builtins.h"
#include "script/builtins/uri_codec.h"
#include "script/runtime/arguments.h"
#include "script/runtime/conversions.h"
#include "script/runtime/engine.h"
#include "script/runtime/host_class.h"
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
void codeUri(HostCall& call, Code&& code) {
  if (call.args.count() == 0) return;
  Value text;
  valueToString(call.engine, *call.args.at(1), &text);
  std::optional<std::u16string> coded = code(text.string()->view());
  if (!coded) return reportInvalidUri(call.engine);
  *call.result = makeString(call.engine, *coded);
}

void encodeURI(HostCall& call) {
  codeUri(call, [](std::u16string_view t) { return encodeUri(t, kEncodeUriUnescaped); });
}

void encodeURIComponent(HostCall& call) {
  codeUri(call, [](std::u16string_view t) { return encodeUri(t, kUriUnreserved); });
}

void decodeURI(HostCall& call) {
  codeUri(call, [](std::u16string_view t) { return decodeUri(t, kUriReserved); });
}

void decodeURIComponent(HostCall& call) {
  codeUri(call, [](std::u16string_view t) { return decodeUri(t, u""); });
}

}  // namespace

void registerUriFunctions(Engine& engine) {
  static const HostFunctionEntry kFunctions[] = {
      {"decodeURI", decodeURI},
      {"encodeURI", encodeURI},
      {"decodeURIComponent", decodeURIComponent},
      {"encodeURIComponent", encodeURIComponent},
  };
  defineHostFunctions(engine, kFunctions);
}

}  // namespace vexil::script
