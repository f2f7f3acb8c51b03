// String: the global "String" and the class of every string value, with its construction, the
// length, the unit readers and the position-based pieces (slice, substr, substring).
#include "script/builtins/string_builtin.h"

#include <cmath>

#include "script/builtins/core_builtins.h"
#include "script/runtime/atom_table.h"
#include "script/runtime/conversions.h"
#include "script/runtime/property_table.h"
#include "script/runtime/runtime_error.h"

namespace vexil::script {

Value textArgument(Engine& engine, const Value& value) {
  if (value.is(Tag::String)) return value;
  Value text;
  valueToString(engine, value, &text);
  return text;
}

const Value* integerArgument(const Arguments& args, uint32_t i) {
  return args.has(i, Tag::Integer) ? args.at(i) : nullptr;
}

namespace {

constexpr char16_t kClassObjectText[] = u"[Object String]";
constexpr size_t kMaxStringUnits = UINT32_MAX / sizeof(char16_t);

Value piece(Engine& engine, std::u16string_view text, size_t start, size_t end) {
  return makeString(engine, text.substr(start, end - start));
}

// A position counted from the end when negative, then held within 0 .. length.
size_t clampFromEnd(int64_t position, size_t length) {
  if (position < 0) position += int64_t(length);
  if (position < 0) return 0;
  return uint64_t(position) > length ? length : size_t(position);
}

void getLength(HostCall& call) { call.result->setInteger(int64_t(receiverText(call).size())); }

void stringToString(HostCall& call) {
  const Value* self = call.instance<Value>();
  *call.result = self ? *self : makeStaticString(call.engine, kClassObjectText);
}

void stringValueOf(HostCall& call) {
  const Value* self = call.instance<Value>();
  *call.result = self ? *self : globalSlot(call.engine, "String");
}

// The decimal number a text starts with, as the C library reads one: blanks, a sign, digits.
int64_t leadingInteger(std::u16string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == u' ' || (text[i] >= u'\t' && text[i] <= u'\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
  uint64_t n = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) n = n * 10 + (text[i] - u'0');
  return negative ? -int64_t(n) : int64_t(n);
}

char16_t codeUnitOf(const Value& v) {
  switch (v.tag) {
    case Tag::Integer: return char16_t(v.integer());
    case Tag::Real: return char16_t(realToInt64(v.real()));
    case Tag::String: return char16_t(leadingInteger(v.string()->view()));
    default: return 0;
  }
}

void stringFromCharCode(HostCall& call) {
  std::u16string units;
  units.reserve(call.args.count());
  for (uint32_t i = 1; i <= call.args.count(); ++i) units += codeUnitOf(*call.args.at(i));
  *call.result = makeString(call.engine, units);
}

void stringCharAt(HostCall& call) {
  std::u16string_view text = receiverText(call);
  const Value* index = integerArgument(call.args, 1);
  if (index && index->integer() >= 0 && uint64_t(index->integer()) < text.size()) {
    size_t at = size_t(index->integer());
    *call.result = piece(call.engine, text, at, at + 1);
  } else {
    *call.result = makeString(call.engine, 0);
  }
}

// No argument reads unit 0; an argument that is not an Integer reads past the end.
void stringCharCodeAt(HostCall& call) {
  std::u16string_view text = receiverText(call);
  int64_t index = 0;
  if (call.args.count() > 0) {
    const Value* arg = integerArgument(call.args, 1);
    index = arg ? arg->integer() : int64_t(text.size());
  }
  if (index >= 0 && uint64_t(index) < text.size()) call.result->setInteger(text[size_t(index)]);
  else call.result->setNaN();
}

void stringConcat(HostCall& call) {
  StringBuilder out;
  out.append(receiverText(call));
  for (uint32_t i = 1; i <= call.args.count(); ++i) {
    const ScriptString& piece = *textArgument(call.engine, *call.args.at(i)).string();
    // Past what a string can hold the result cannot be made: fail before building it.
    if (piece.length > kMaxStringUnits - out.length()) raiseOutOfMemory(call.engine);
    out.append(piece);
  }
  *call.result = out.finish(call.engine);
}

void stringSlice(HostCall& call) {
  std::u16string_view text = receiverText(call);
  const Value* startArg = integerArgument(call.args, 1);
  const Value* endArg = integerArgument(call.args, 2);
  *call.result = makeString(call.engine, 0);
  if (!startArg || (call.args.count() > 1 && !endArg)) return;
  size_t start = clampFromEnd(startArg->integer(), text.size());
  size_t end = endArg ? clampFromEnd(endArg->integer(), text.size()) : text.size();
  if (end >= start) *call.result = piece(call.engine, text, start, end);
}

void stringSubstr(HostCall& call) {
  std::u16string_view text = receiverText(call);
  const Value* startArg = integerArgument(call.args, 1);
  if (!startArg) {
    *call.result = makeString(call.engine, 0);
    return;
  }
  size_t start = clampFromEnd(startArg->integer(), text.size());
  const Value* countArg = integerArgument(call.args, 2);
  uint64_t count = countArg ? (countArg->integer() < 0 ? 0 : uint64_t(countArg->integer())) : text.size();
  if (count > text.size() - start) count = text.size() - start;
  *call.result = piece(call.engine, text, start, start + size_t(count));
}

// The positions are not exchanged: an end before the start gives the empty string.
void stringSubstring(HostCall& call) {
  std::u16string_view text = receiverText(call);
  const Value* startArg = integerArgument(call.args, 1);
  const Value* endArg = integerArgument(call.args, 2);
  *call.result = makeString(call.engine, 0);
  if (!startArg) return;
  int64_t start = startArg->integer() < 0 ? 0 : startArg->integer();
  int64_t end = endArg ? endArg->integer() : int64_t(text.size());
  if (end > int64_t(text.size())) end = int64_t(text.size());
  if (end >= start) *call.result = piece(call.engine, text, size_t(start), size_t(end));
}

// String(x) gives the text of x; no argument, the empty string.
void stringCall(HostCall& call) {
  if (call.args.count() == 0) *call.result = makeStaticString(call.engine, u"", 0);
  else valueToString(call.engine, *call.args.at(1), call.result);
}

// new String(x): a string of its own, with a table linked to the String prototype.
void stringConstruct(HostCall& call) {
  Engine& engine = call.engine;
  Value text = makeStaticString(engine, u"", 0);
  if (call.args.count() > 0) valueToString(engine, *call.args.at(1), &text);
  Value made = makeString(engine, text.string()->view());
  attachTable(engine, Tag::String, &made.string()->props);
  *call.result = made;
}

const HostMethodEntry kStringMethods[] = {
    {"charAt", stringCharAt},
    {"charCodeAt", stringCharCodeAt},
    {"concat", stringConcat},
    {"fromCharCode", stringFromCharCode, true},
    {"indexOf", stringIndexOf},
    {"lastIndexOf", stringLastIndexOf},
    {"match", stringMatch},
    {"replace", stringReplace},
    {"search", stringSearch},
    {"slice", stringSlice},
    {"split", stringSplit},
    {"substr", stringSubstr},
    {"substring", stringSubstring},
    {"toLowerCase", stringToLowerCase},
    {"toUpperCase", stringToUpperCase},
    {"anchor", stringAnchor},
    {"big", stringBig},
    {"blink", stringBlink},
    {"bold", stringBold},
    {"fixed", stringFixed},
    {"fontColor", stringFontColor},
    {"fontSize", stringFontSize},
    {"italics", stringItalics},
    {"link", stringLink},
    {"small", stringSmall},
    {"strike", stringStrike},
    {"sub", stringSub},
    {"sup", stringSup},
    {"toString", stringToString, true},
    {"valueOf", stringValueOf, true},
};

const HostPropertyEntry kStringProperties[] = {
    {"length", getLength},
};

const HostClassInfo kStringClass = {
    .name = "String",
    .methods = kStringMethods,
    .properties = kStringProperties,
    .constants = {},
    .construct = stringConstruct,
    .call = stringCall,
};

}  // namespace

void registerString(Engine& engine) {
  intern(engine, "length");  // the first of the class's member names
  setClassDescriptor(engine, Tag::String, defineHostClass(engine, kStringClass));
  markOwnTextClass(engine, Tag::String);
  registerUriFunctions(engine);
}

}  // namespace vexil::script
