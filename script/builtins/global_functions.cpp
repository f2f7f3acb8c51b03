// The global values NaN and Infinity and the global functions parseInt, parseFloat, escape,
// unescape, isNaN, isFinite and trace.
#include <cmath>
#include <limits>
#include <string>

#include "script/builtins/builtin_texts.h"
#include "script/builtins/core_builtins.h"
#include "script/builtins/escape_text.h"
#include "script/runtime/arguments.h"
#include "script/runtime/conversions.h"
#include "script/runtime/engine.h"
#include "script/runtime/host_class.h"
#include "script/runtime/native_class.h"
#include "script/runtime/number_scanner.h"
#include "script/runtime/script_string.h"

namespace vexil::script {

namespace {

// The first argument as a string; false (result untouched) when there is none.
bool textArgument(Engine& engine, const Arguments& args, Value* text) {
  if (args.count() == 0) return false;
  valueToString(engine, *args.at(1), text);
  return true;
}

void parseInt(HostCall& call) {
  Engine& engine = call.engine;
  Value* result = call.result;
  const Arguments& args = call.args;
  result->setNaN();
  Value text;
  if (!textArgument(engine, args, &text)) return;
  const Value* radixArg = args.at(2);
  int32_t radix = 0;
  if (radixArg && radixArg->is(Tag::Integer)) radix = int32_t(radixArg->lowWord());
  else if (radixArg) radix = valueToInt32(engine, *radixArg);
  NumberScan scan = scanNumber(text.string()->view(), radix);
  if (scan.code == ScanCode::Integer) result->setInteger(scan.integer);
  else if (scan.code == ScanCode::Real) result->setReal(scan.real);
}

void parseFloat(HostCall& call) {
  Engine& engine = call.engine;
  Value* result = call.result;
  const Arguments& args = call.args;
  result->setNaN();
  if (args.count() == 0) return;
  valueToNumber(engine, *args.at(1), result);
  if (result->is(Tag::Integer)) result->setReal(double(result->integer()));
}

void escape(HostCall& call) {
  Engine& engine = call.engine;
  Value* result = call.result;
  const Arguments& args = call.args;
  Value text;
  if (!textArgument(engine, args, &text)) {
    *result = makeString(engine, 0);
    return;
  }
  *result = makeString(engine, escapeText(text.string()->view()));
}

void unescape(HostCall& call) {
  Engine& engine = call.engine;
  Value* result = call.result;
  const Arguments& args = call.args;
  Value text;
  result->setUndefined();
  if (!textArgument(engine, args, &text)) return;
  *result = makeString(engine, unescapeText(text.string()->view()));
}

// The argument as a number, with a not-a-number double counted as NaN.
Value numberOf(Engine& engine, const Value& value) {
  Value number;
  valueToNumber(engine, value, &number);
  return number.is(Tag::Real) ? numberFromReal(number.real()) : number;
}

void isNaN(HostCall& call) {
  Engine& engine = call.engine;
  Value* result = call.result;
  const Arguments& args = call.args;
  result->setUndefined();
  if (args.count() == 0) return;
  result->setBoolean(numberOf(engine, *args.at(1)).is(Tag::NaN));
}

void isFinite(HostCall& call) {
  Engine& engine = call.engine;
  Value* result = call.result;
  const Arguments& args = call.args;
  result->setUndefined();
  if (args.count() == 0) return;
  Value number = numberOf(engine, *args.at(1));
  result->setBoolean(number.is(Tag::Integer) || (number.is(Tag::Real) && std::isfinite(number.real())));
}

// Writes the arguments' texts, one after another, as one line to the engine's trace output.
// Without an output nothing is converted, so no toString runs for nothing.
void trace(HostCall& call) {
  Engine& engine = call.engine;
  Value* result = call.result;
  const Arguments& args = call.args;
  result->setUndefined();
  if (!engine.traceOutput) return;
  std::string line;
  for (uint32_t i = 1; i <= args.count(); ++i) {
    Value text;
    valueToString(engine, *args.at(i), &text);
    line += stringToAnsiText(*text.string());
  }
  line += kTraceLineEnd;
  if (engine.traceOutput) engine.traceOutput(engine.traceData, line.c_str());
}

const HostFunctionEntry kGlobalFunctions[] = {
    {"parseInt", parseInt}, {"parseFloat", parseFloat}, {"escape", escape},     {"unescape", unescape},
    {"isNaN", isNaN},       {"isFinite", isFinite},     {"trace", trace},
};

}  // namespace

void registerGlobalFunctions(Engine& engine) {
  globalSlot(engine, "NaN") = Value::nan();
  globalSlot(engine, "Infinity") = Value::fromReal(std::numeric_limits<double>::infinity());
  defineHostFunctions(engine, kGlobalFunctions);
}

}  // namespace vexil::script
