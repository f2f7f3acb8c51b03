// Number: the global "Number" and the class of every Integer, Real and NaN value.
#include <cmath>
#include <limits>

#include "script/builtins/builtin_texts.h"
#include "script/builtins/core_builtins.h"
#include "script/builtins/number_format.h"
#include "script/runtime/conversions.h"
#include "script/runtime/host_class.h"
#include "script/runtime/script_string.h"

namespace vexil::script {

namespace {

const Value* receiver(const HostCall& call) { return call.instance<Value>(); }

// The radix is the first argument when it is an Integer (its low word), else 10.
void numberToString(HostCall& call) {
  const Value* self = receiver(call);
  if (!self) {
    *call.result = makeStaticString(call.engine, kTypeFunction);
    return;
  }
  const Value* radix = call.args.at(1);
  int32_t base = radix && radix->is(Tag::Integer) ? int32_t(radix->lowWord()) : 10;
  *call.result = makeStringFromAnsi(call.engine, numberToText(*self, base));
}

void numberValueOf(HostCall& call) {
  *call.result = receiver(call) ? *receiver(call) : globalSlot(call.engine, "Number");
}

// A refused pattern answers Undefined; without a pattern the number's own text.
void numberFormat(HostCall& call) {
  const Value* self = receiver(call);
  const ScriptString* pattern = call.args.string(1);
  if (!pattern) {
    valueToString(call.engine, *self, call.result);
    return;
  }
  if (auto text = formatNumber(pattern->view(), *self)) *call.result = makeString(call.engine, *text);
}

void maxValue(HostCall& call) { call.result->setReal(std::numeric_limits<double>::max()); }
void minValue(HostCall& call) { call.result->setReal(std::numeric_limits<double>::min()); }
void notANumber(HostCall& call) { call.result->setNaN(); }
void negativeInfinity(HostCall& call) { call.result->setReal(-std::numeric_limits<double>::infinity()); }
void positiveInfinity(HostCall& call) { call.result->setReal(std::numeric_limits<double>::infinity()); }

// Number(x) and new Number(x) alike give a plain number.
void numberCall(HostCall& call) {
  if (call.args.count() == 0) call.result->setInteger(0);
  else valueToNumber(call.engine, *call.args.at(1), call.result);
}

const HostMethodEntry kNumberMethods[] = {
    {"toString", numberToString, true},
    {"valueOf", numberValueOf, true},
    {"format", numberFormat},
};

// Read-only: an assignment is accepted and ignored.
const HostPropertyEntry kNumberProperties[] = {
    {"MAX_VALUE", maxValue, nullptr, true},
    {"MIN_VALUE", minValue, nullptr, true},
    {"NaN", notANumber, nullptr, true},
    {"NEGATIVE_INFINITY", negativeInfinity, nullptr, true},
    {"POSITIVE_INFINITY", positiveInfinity, nullptr, true},
};

const HostClassInfo kNumberClass = {
    .name = "Number",
    .methods = kNumberMethods,
    .properties = kNumberProperties,
    .constants = {},
    .construct = numberCall,
    .call = numberCall,
};

}  // namespace

void registerNumber(Engine& engine) {
  NativeClass* cls = defineHostClass(engine, kNumberClass);
  setClassDescriptor(engine, Tag::Integer, cls);
  setClassDescriptor(engine, Tag::Real, cls);
  setClassDescriptor(engine, Tag::NaN, cls);
  for (Tag tag : {Tag::Integer, Tag::Real, Tag::NaN}) markOwnTextClass(engine, tag);
}

}  // namespace vexil::script
