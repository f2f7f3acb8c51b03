// Array: the global "Array" and the class of every array value. Arrays are sparse: every member
// works in the number of elements that exist, and keeps the length explicitly.
#include "script/builtins/array_builtin.h"

#include "script/builtins/core_builtins.h"
#include "script/runtime/conversions.h"
#include "script/runtime/property_table.h"

namespace vexil::script {

Value newArrayValue(Engine& engine, uint64_t length) {
  ArrayRecord* array = newArray(engine);
  array->setLength(length);
  attachTable(engine, Tag::Array, &array->props);
  Value v;
  v.setArray(array);
  return v;
}

Value lengthValue(uint64_t length) {
  if (length > uint64_t(INT64_MAX)) return Value::fromReal(double(length));
  return Value::fromInteger(int64_t(length));
}

ArrayRecord* receiverArray(const HostCall& call) {
  const Value* self = call.instance<Value>();
  return self && self->is(Tag::Array) ? self->array() : nullptr;
}

namespace {

uint64_t saturatingAdd(uint64_t a, uint64_t b) { return a > UINT64_MAX - b ? UINT64_MAX : a + b; }

// The argument as an Integer, when it has that tag.
const Value* integerArgument(const Arguments& args, uint32_t i) {
  return args.has(i, Tag::Integer) ? args.at(i) : nullptr;
}

// A start or end position counted from the end when negative: length + position, or `floor` when
// that is still below 0.
uint64_t fromEnd(int64_t position, uint64_t length, uint64_t floor) {
  if (position >= 0) return uint64_t(position);
  uint64_t back = uint64_t(0) - uint64_t(position);
  return back <= length ? length - back : floor;
}

void arrayConcat(HostCall& call) {
  ArrayRecord* self = receiverArray(call);
  Value result = newArrayValue(call.engine);
  ArrayRecord* out = result.array();
  copyElements(call.engine, *out, *self, 0);
  uint64_t length = self->length();
  for (uint32_t i = 1; i <= call.args.count(); ++i) {
    const Value& arg = *call.args.at(i);
    if (arg.is(Tag::Array)) {
      copyElements(call.engine, *out, *arg.array(), length);
      length = saturatingAdd(length, arg.array()->length());
    } else {
      putElement(call.engine, *out, length, arg);
      length = saturatingAdd(length, 1);
    }
  }
  out->setLength(length);
  *call.result = result;
}

void arrayToString(HostCall& call) {
  HostCall plain{call.engine, call.cls, call.self, Arguments(nullptr), call.result};
  arrayJoin(plain);
}

void arrayPop(HostCall& call) {
  ArrayRecord* self = receiverArray(call);
  uint64_t length = self->length();
  if (length == 0) return;
  if (Value* last = findElement(*self, length - 1)) *call.result = *last;
  removeElement(call.engine, *self, length - 1);
  self->setLength(length - 1);
}

void arrayPush(HostCall& call) {
  ArrayRecord* self = receiverArray(call);
  for (uint32_t i = 1; i <= call.args.count(); ++i) storeElement(call.engine, *self, self->length(), *call.args.at(i));
  *call.result = lengthValue(self->length());
}

void arrayReverse(HostCall& call) { reverseElements(call.engine, *receiverArray(call)); }

void arrayShift(HostCall& call) {
  ArrayRecord* self = receiverArray(call);
  if (self->length() == 0) return;
  if (Value* first = findElement(*self, 0)) *call.result = *first;
  removeElement(call.engine, *self, 0);
  renumberAll(call.engine, *self, -1);
}

// Integer arguments only; the bounds may be given in either order, and the result's length is the
// distance between them even past this array's end.
void arraySlice(HostCall& call) {
  ArrayRecord* self = receiverArray(call);
  uint64_t length = self->length();
  const Value* startArg = integerArgument(call.args, 1);
  const Value* endArg = integerArgument(call.args, 2);
  uint64_t start = startArg ? fromEnd(startArg->integer(), length, 0) : 0;
  uint64_t end = endArg ? fromEnd(endArg->integer(), length, start) : length;
  uint64_t lower = start < end ? start : end;
  uint64_t upper = start < end ? end : start;
  Value result = newArrayValue(call.engine, upper - lower);
  ArrayRecord* out = result.array();
  std::vector<std::pair<uint64_t, Value>> picked;
  forEachElement(*self, lower, upper, [&](uint64_t i, Value& v) { picked.emplace_back(i - lower, v); });
  for (auto& [i, v] : picked) putElement(call.engine, *out, i, v);
  *call.result = result;
}

// Moves the elements of [start, start + count) into a new array at 0 .. count - 1.
Value cutRange(Engine& engine, ArrayRecord& self, uint64_t start, uint64_t count) {
  Value removed = newArrayValue(engine, count);
  std::vector<std::pair<uint64_t, Value>> picked;
  forEachElement(self, start, start + count, [&](uint64_t i, Value& v) { picked.emplace_back(i, v); });
  for (auto& [i, v] : picked) {
    putElement(engine, *removed.array(), i - start, v);
    removeElement(engine, self, i);
  }
  return removed;
}

// The elements from `from` on move by items - count: up to make room, or down to close the gap
// (in steps, since a gap may be wider than a signed 64-bit delta).
void closeGap(Engine& engine, ArrayRecord& self, uint64_t from, uint64_t count, uint64_t items) {
  if (items >= count) {
    if (items > count) renumberElements(engine, self, from, int64_t(items - count));
    return;
  }
  for (uint64_t down = count - items; down;) {
    uint64_t step = std::min<uint64_t>(down, INT64_MAX);
    renumberElements(engine, self, from, -int64_t(step));
    from -= step;
    down -= step;
  }
}

void arraySplice(HostCall& call) {
  Engine& engine = call.engine;
  ArrayRecord* self = receiverArray(call);
  uint64_t length = self->length();
  const Value* startArg = integerArgument(call.args, 1);
  const Value* countArg = integerArgument(call.args, 2);
  uint64_t start = startArg ? fromEnd(startArg->integer(), length, 0) : 0;
  uint64_t count = 0, base = start;
  if (start < length) {
    count = length - start;
    if (countArg) count = std::min<uint64_t>(count, countArg->integer() < 0 ? 0 : uint64_t(countArg->integer()));
    base = length - count;
  }
  uint32_t items = call.args.count() > 2 ? call.args.count() - 2 : 0;
  Value removed = cutRange(engine, *self, start, count);
  closeGap(engine, *self, start + count, count, items);
  for (uint32_t k = 0; k < items; ++k) {
    if (start <= UINT64_MAX - k) putElement(engine, *self, start + k, *call.args.at(3 + k));
  }
  self->setLength(saturatingAdd(base, items));
  *call.result = removed;
}

// The arguments go in front, the last one at index 0.
void arrayUnshift(HostCall& call) {
  ArrayRecord* self = receiverArray(call);
  uint32_t n = call.args.count();
  if (n) {
    renumberAll(call.engine, *self, n);
    for (uint32_t k = 1; k <= n; ++k) putElement(call.engine, *self, n - k, *call.args.at(k));
  }
  *call.result = lengthValue(self->length());
}

// The class object reads 1 and keeps it whatever is assigned.
void getLength(HostCall& call) {
  ArrayRecord* self = receiverArray(call);
  *call.result = self ? lengthValue(self->length()) : Value::fromInteger(1);
}

// An Integer not below 0, or a Real not below 0 (truncated); anything else is ignored.
void setLength(HostCall& call, const Value& value) {
  ArrayRecord* self = receiverArray(call);
  if (!self) return;
  if (value.is(Tag::Integer) && value.integer() >= 0) {
    setArrayLength(call.engine, *self, uint64_t(value.integer()));
  } else if (value.is(Tag::Real) && value.real() >= 0) {
    double d = value.real();
    setArrayLength(call.engine, *self, d >= 18446744073709551615.0 ? UINT64_MAX : uint64_t(d));
  }
}

// One Integer argument is a length; a negative count (an array literal) or any other arguments
// are the elements.
void arrayConstruct(HostCall& call) {
  Engine& engine = call.engine;
  Value* result = call.result;
  const Value* block = call.args.block();
  int64_t raw = block && block->is(Tag::Integer) ? block->integer() : 0;
  if (raw == 1 && block[1].is(Tag::Integer)) {
    int64_t n = block[1].integer();
    *result = newArrayValue(engine, n < 0 ? 0 : uint64_t(n));
    return;
  }
  uint64_t n = raw < 0 ? uint64_t(0) - uint64_t(raw) : uint64_t(raw);
  if (n > UINT32_MAX) n = 0;
  Value made = newArrayValue(engine, n);
  for (uint32_t i = 0; i < n; ++i) putElement(engine, *made.array(), i, block[1 + i]);
  *result = made;
}

const HostMethodEntry kArrayMethods[] = {
    {"concat", arrayConcat}, {"join", arrayJoin},       {"pop", arrayPop},     {"push", arrayPush},
    {"reverse", arrayReverse}, {"shift", arrayShift},   {"slice", arraySlice}, {"splice", arraySplice},
    {"sort", arraySort},     {"unshift", arrayUnshift}, {"toString", arrayToString},
};

const HostPropertyEntry kArrayProperties[] = {
    {"length", getLength, setLength, true},
};

const HostClassInfo kArrayClass = {
    .name = "Array",
    .methods = kArrayMethods,
    .properties = kArrayProperties,
    .constants = {},
    .construct = arrayConstruct,
    .call = arrayConstruct,
};

}  // namespace

void registerArray(Engine& engine) {
  setClassDescriptor(engine, Tag::Array, defineHostClass(engine, kArrayClass));
}

}  // namespace vexil::script
