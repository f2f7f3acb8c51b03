// The RegExp script class: compiled expressions with flags and lastIndex, exec and test, and the
// engine's last-match state read through "$1".."$9", lastMatch, lastParen, leftContext,
// rightContext and input.
#include "objects/regexp/regexp_class.h"

#include <string>

#include "objects/regexp/regexp_state.h"
#include "script/runtime/array_elements.h"
#include "script/runtime/atom_table.h"
#include "script/runtime/collector.h"
#include "script/runtime/conversions.h"
#include "script/runtime/engine.h"
#include "script/runtime/host_class.h"
#include "script/runtime/native_class.h"
#include "script/runtime/property_table.h"
#include "script/runtime/script_string.h"

namespace vexil::objects {

namespace {

using script::Engine;
using script::HostCall;
using script::NativeClass;
using script::Tag;
using script::Value;

constexpr char kClassName[] = "RegExp";
constexpr char16_t kClassText[] = u"[Object RegExp]";
constexpr char16_t kEmptyPatternReplacement[] = u"^";
constexpr char kTraceLineEnd[] = "\r\n";

// --- construction and calls


std::u16string stringArgument(const script::Arguments& args, uint32_t i) {
  const script::ScriptString* s = args.string(i);
  return s ? std::u16string(s->view()) : std::u16string();
}

void construct(HostCall& call) {
  const script::ScriptString* flagText = call.args.string(2);
  *call.result = newRegExp(call.engine, stringArgument(call.args, 1), flagText ? flagsOfText(flagText->view()) : 0);
}

// The subject of exec and test: ToString of the argument, which becomes the last input; without
// one, the last input as text.
Value subjectOf(Engine& engine, const Value* argument) {
  RegExpState& state = *regExpState(engine);
  Value text;
  script::valueToString(engine, argument ? *argument : state.lastInput, &text);
  if (argument) state.lastInput = text;
  return text;
}

// Matching from lastIndex: the text before it is cut off. Global expressions move lastIndex to the
// end of the match, or back to 0 when there is none.
bool matchFromLastIndex(Engine& engine, RegExpData& data, const Value& subject) {
  size_t length = subject.string()->length;
  size_t from = data.lastIndex < length ? data.lastIndex : length;
  bool found = matchInput(engine, data, subject, from, true);
  if (data.global()) data.lastIndex = found ? uint32_t(regExpState(engine)->groups[0].end) : 0;
  return found;
}

void exec(Engine& engine, RegExpData& data, const Value* argument, Value* result) {
  Value subject = subjectOf(engine, argument);
  if (matchFromLastIndex(engine, data, subject)) {
    *result = matchArray(engine);
  } else {
    result->setNull();
  }
}

void call(HostCall& call) {
  if (!call.self) {
    call.result->setNull();
    construct(call);
    return;
  }
  exec(call.engine, *call.instance<RegExpData>(), call.args.at(1), call.result);
}

// --- methods

RegExpData& dataOf(HostCall& call) { return *call.instance<RegExpData>(); }

void execMethod(HostCall& call) { exec(call.engine, dataOf(call), call.args.at(1), call.result); }

void test(HostCall& call) {
  Value subject = subjectOf(call.engine, call.args.at(1));
  call.result->setBoolean(matchFromLastIndex(call.engine, dataOf(call), subject));
}

void compile(HostCall& call) {
  if (call.args.count() == 0) {
    call.result->setBoolean(false);
    return;
  }
  RegExpData& data = dataOf(call);
  Value pattern;
  script::valueToString(call.engine, *call.args.at(1), &pattern);
  const script::ScriptString* flagText = call.args.string(2);
  data.pattern = pattern.string()->view();
  data.flags = flagText ? flagsOfText(flagText->view()) : 0;
  call.result->setBoolean(compileExpression(call.engine, data, kCompileOptions));
}

void toString(HostCall& call) {
  if (!call.self) {
    *call.result = script::makeStaticString(call.engine, kClassText);
    return;
  }
  const RegExpData& data = dataOf(call);
  std::u16string text = u"/" + data.pattern + u"/";
  if (data.flags & kFlagGlobal) text += u'g';
  if (data.flags & kFlagIgnoreCase) text += u'i';
  if (data.flags & kFlagMultiline) text += u'm';
  *call.result = script::makeString(call.engine, text);
}

// --- the last-match properties, on the class and on instances

// The units of the last input from start to end, or null when there is no such text.
void inputText(HostCall& call, int64_t start, int64_t end) {
  const RegExpState& state = *regExpState(call.engine);
  if (!state.lastInput.is(Tag::String) || start < 0 || end < start) {
    call.result->setNull();
    return;
  }
  std::u16string_view units = state.lastInput.string()->view();
  if (size_t(end) > units.size()) {
    call.result->setNull();
    return;
  }
  *call.result = script::makeString(call.engine, units.substr(size_t(start), size_t(end - start)));
}

void groupText(HostCall& call, size_t n) {
  const RegexGroup& g = regExpState(call.engine)->groups[n];
  inputText(call, g.start, g.end);
}

template <size_t N>
void group(HostCall& call) {
  groupText(call, N);
}

void lastMatch(HostCall& call) { groupText(call, 0); }

void lastParen(HostCall& call) {
  const RegexGroup* groups = regExpState(call.engine)->groups;
  size_t n = 0;
  while (n + 1 < kMaxRegexGroups && groups[n + 1].start >= 0) ++n;
  if (n == 0) {
    call.result->setNull();
    return;
  }
  groupText(call, n);
}

bool hasMatch(HostCall& call) { return regExpState(call.engine)->groups[0].start >= 0; }

void leftContext(HostCall& call) {
  if (!hasMatch(call)) return call.result->setNull();
  inputText(call, 0, regExpState(call.engine)->groups[0].start);
}

void rightContext(HostCall& call) {
  const RegExpState& state = *regExpState(call.engine);
  if (!hasMatch(call) || !state.lastInput.is(Tag::String)) return call.result->setNull();
  inputText(call, state.groups[0].end, state.lastInput.string()->length);
}

void input(HostCall& call) { *call.result = regExpState(call.engine)->lastInput; }

// --- instance properties

void global(HostCall& call) { call.result->setBoolean(dataOf(call).flags & kFlagGlobal); }
void ignoreCase(HostCall& call) { call.result->setBoolean(dataOf(call).flags & kFlagIgnoreCase); }
void multiline(HostCall& call) { call.result->setBoolean(dataOf(call).flags & kFlagMultiline); }
void source(HostCall& call) { *call.result = script::makeString(call.engine, dataOf(call).pattern); }
void lastIndex(HostCall& call) { call.result->setInteger(dataOf(call).lastIndex); }

void setLastIndex(HostCall& call, const Value& value) {
  if (value.is(Tag::Integer)) dataOf(call).lastIndex = uint32_t(value.integer());
}

const script::HostMethodEntry kMethods[] = {
    {"exec", execMethod},
    {"test", test},
    {"compile", compile},
    {"toString", toString, true},
};

const script::HostPropertyEntry kProperties[] = {
    {"$1", group<1>, nullptr, true},
    {"$2", group<2>, nullptr, true},
    {"$3", group<3>, nullptr, true},
    {"$4", group<4>, nullptr, true},
    {"$5", group<5>, nullptr, true},
    {"$6", group<6>, nullptr, true},
    {"$7", group<7>, nullptr, true},
    {"$8", group<8>, nullptr, true},
    {"$9", group<9>, nullptr, true},
    {"lastMatch", lastMatch, nullptr, true},
    {"lastParen", lastParen, nullptr, true},
    {"leftContext", leftContext, nullptr, true},
    {"rightContext", rightContext, nullptr, true},
    {"input", input, nullptr, true},
    {"$_", input, nullptr, true},
    {"global", global},
    {"ignoreCase", ignoreCase},
    {"multiline", multiline},
    {"lastIndex", lastIndex, setLastIndex},
    {"source", source},
};

const script::HostClassInfo kRegExpClass = {
    .name = kClassName,
    .methods = kMethods,
    .properties = kProperties,
    .constants = {},
    .construct = construct,
    .call = call,
    .release = script::deleteInstance<RegExpData>,
    .state = &script::kPlainState<RegExpState>,
};

Value fromConstant(Engine& engine, std::u16string_view pattern, uint8_t flags) {
  return newRegExp(engine, std::u16string(pattern), flags & (kFlagGlobal | kFlagIgnoreCase | kFlagMultiline));
}

}  // namespace

void registerRegExp(Engine& engine) {
  script::defineHostClass(engine, kRegExpClass);
  engine.regexp.fromConstant = fromConstant;
  installStringHooks(engine);
}

bool isRegExp(const Value& value) { return regExpData(value) != nullptr; }

RegExpData* regExpData(const Value& value) { return script::instanceOf<RegExpData>(value, kRegExpClass); }

void RegExpState::mark(Engine& engine) const { script::markValue(engine, lastInput); }

RegExpState* regExpState(Engine& engine) { return script::hostState<RegExpState>(engine, kRegExpClass); }

uint32_t flagsOfText(std::u16string_view text) {
  uint32_t flags = 0;
  for (char16_t c : text) {
    if (c == u'g') flags |= kFlagGlobal;
    if (c == u'i') flags |= kFlagIgnoreCase;
    if (c == u'm') flags |= kFlagMultiline;
  }
  return flags;
}

void reportRegExpError(Engine& engine, int code) {
  if (!engine.traceOutput) return;
  std::string line = kRegExpErrorPrefix + regexErrorText(code);
  if (line.size() > kRegExpErrorMax) line.resize(kRegExpErrorMax);
  line += kTraceLineEnd;
  engine.traceOutput(engine.traceData, line.c_str());
}

bool compileExpression(Engine& engine, RegExpData& data, int baseOptions) {
  int options = baseOptions;
  if (data.flags & kFlagIgnoreCase) options |= kRegIcase;
  if (data.flags & kFlagMultiline) options |= kRegNewline;
  int code = compileRegex(data.pattern, options, data.compiled);
  if (code == kRegOk) return true;
  reportRegExpError(engine, code);
  return false;
}

Value newRegExp(Engine& engine, std::u16string pattern, uint32_t flags) {
  RegExpState* state = regExpState(engine);
  auto data = std::make_unique<RegExpData>();
  data->pattern = pattern.empty() ? std::u16string(kEmptyPatternReplacement) : std::move(pattern);
  data->flags = flags;
  if (!state || !compileExpression(engine, *data, kConstructOptions)) return Value::null();
  Value result;
  script::newInstance(engine, kRegExpClass, &result, std::move(data));
  return result;
}

bool matchInput(Engine& engine, const RegExpData& data, const Value& input, size_t from, bool substring,
                const RegexSubject* prepared) {
  RegExpState& state = *regExpState(engine);
  for (RegexGroup& g : state.groups) g = RegexGroup{};
  state.lastInput = input;
  if (!data.compiled || !input.is(Tag::String)) return false;
  std::u16string_view units = input.string()->view();
  size_t base = substring ? from : 0;
  int code = prepared && base == 0
                 ? executeRegex(*data.compiled, *prepared, from, state.groups, kMaxRegexGroups)
                 : executeRegex(*data.compiled, units.substr(base), from - base, state.groups, kMaxRegexGroups);
  if (code != kRegOk) {
    if (code != kRegNoMatch) reportRegExpError(engine, code);
    return false;
  }
  for (RegexGroup& g : state.groups) {
    if (g.start < 0) continue;
    g.start += int64_t(base);
    g.end += int64_t(base);
  }
  return true;
}

Value matchArray(Engine& engine) {
  RegExpState& state = *regExpState(engine);
  std::u16string_view units = state.lastInput.string()->view();
  script::ArrayRecord* array = script::newArray(engine);
  Value result;
  result.setArray(array);
  for (size_t k = 0; k < kMaxRegexGroups && state.groups[k].start >= 0; ++k) {
    const RegexGroup& g = state.groups[k];
    Value text = script::makeString(engine, units.substr(size_t(g.start), size_t(g.end - g.start)));
    script::storeElement(engine, *array, k, text);
  }
  script::attachTable(engine, Tag::Array, &array->props);
  script::setProperty(engine, array->props, script::intern(engine, "index"), Value::fromInteger(state.groups[0].start));
  script::setProperty(engine, array->props, script::intern(engine, "input"), state.lastInput);
  return result;
}

}  // namespace vexil::objects
