// The String methods that take a RegExp: match, replace, search and split. They share the
// engine's last-match state with the class: afterwards it describes the last successful match.
// Unlike exec they search from the start of the string whatever lastIndex says, and every loop
// over matches steps past an empty match, so none of them can run forever.
#include <cstdint>
#include <string>
#include <vector>

#include "objects/regexp/regexp_class.h"
#include "objects/regexp/regexp_state.h"
#include "script/runtime/arguments.h"
#include "script/runtime/array_elements.h"
#include "script/runtime/engine.h"
#include "script/runtime/script_string.h"

namespace vexil::objects {

namespace {

using script::Arguments;
using script::Engine;
using script::Tag;
using script::Value;

constexpr int64_t kNoLimit = 0x7FFFFFFF;

// The group table of a successful match, kept while a loop goes on to fail, and put back after.
class SavedMatch {
 public:
  explicit SavedMatch(Engine& engine) : state_(*regExpState(engine)) {}
  void save() {
    std::copy(std::begin(state_.groups), std::end(state_.groups), groups_);
    saved_ = true;
  }
  void restore(const Value& input) {
    if (!saved_) return;
    std::copy(std::begin(groups_), std::end(groups_), state_.groups);
    state_.lastInput = input;
  }

 private:
  RegExpState& state_;
  RegexGroup groups_[kMaxRegexGroups];
  bool saved_ = false;
};

Value newArrayValue(Engine& engine, script::ArrayRecord*& array) {
  array = script::newArray(engine);
  Value v;
  v.setArray(array);
  return v;
}

std::u16string_view unitsOf(const Value& v) { return v.string()->view(); }

// The end of a match, stepped one unit on when the match was empty.
size_t nextStart(const RegexGroup& match) {
  return size_t(match.end) + (match.end == match.start ? 1 : 0);
}

// --- match

bool match(Engine& engine, const Value& self, const Value* args, Value& result) {
  RegExpData* data = regExpData(Arguments(args).at(1) ? *Arguments(args).at(1) : Value());
  if (!data) return false;
  if (!data->global()) {
    size_t length = self.string()->length;
    size_t from = data->lastIndex < length ? data->lastIndex : length;
    result = matchInput(engine, *data, self, from, true) ? matchArray(engine) : Value::null();
    return true;
  }
  RegExpState& state = *regExpState(engine);
  SavedMatch saved(engine);
  script::ArrayRecord* array = nullptr;
  Value list = newArrayValue(engine, array);
  std::u16string_view units = unitsOf(self);
  RegexSubject prepared(units);
  uint64_t count = 0;
  for (size_t from = 0; from <= units.size() && matchInput(engine, *data, self, from, false, &prepared);) {
    const RegexGroup& m = state.groups[0];
    script::storeElement(engine, *array, count++,
                         script::makeString(engine, units.substr(size_t(m.start), size_t(m.end - m.start))));
    saved.save();
    from = nextStart(m);
  }
  saved.restore(self);
  data->lastIndex = 0;
  result = count ? list : Value::null();
  return true;
}

// --- replace

// Appends the replacement with its substitutions: "$$" a dollar sign, "$&" the match, "$`" the
// text before it, "$'" the text after it, "$n" and "$nn" a group (empty when it did not take part;
// a number above the groups the pattern has is left as it stands).
void appendReplacement(script::StringBuilder& out, std::u16string_view replacement, std::u16string_view subject,
                       const RegexGroup* groups, size_t groupCount) {
  auto groupText = [&](size_t n) {
    const RegexGroup& g = groups[n];
    if (g.start >= 0) out.append(subject.substr(size_t(g.start), size_t(g.end - g.start)));
  };
  for (size_t i = 0; i < replacement.size(); ++i) {
    char16_t c = replacement[i];
    char16_t next = i + 1 < replacement.size() ? replacement[i + 1] : 0;
    if (c != u'$' || next == 0) {
      out.append(c);
      continue;
    }
    if (next == u'$') {
      out.append(u'$');
    } else if (next == u'&') {
      groupText(0);
    } else if (next == u'`') {
      out.append(subject.substr(0, size_t(groups[0].start)));
    } else if (next == u'\'') {
      out.append(subject.substr(size_t(groups[0].end)));
    } else if (next >= u'0' && next <= u'9') {
      size_t n = next - u'0';
      char16_t second = i + 2 < replacement.size() ? replacement[i + 2] : 0;
      size_t two = n * 10 + (second - u'0');
      if (second >= u'0' && second <= u'9' && two >= 1 && two <= groupCount && two < kMaxRegexGroups) {
        groupText(two);
        i += 2;
        continue;
      }
      if (n < 1 || n > groupCount) {
        out.append(c);
        continue;
      }
      groupText(n);
    } else {
      out.append(c);
      continue;
    }
    ++i;
  }
}

bool replace(Engine& engine, const Value& self, const Value* args, Value& result) {
  Arguments a(args);
  RegExpData* data = regExpData(a.at(1) ? *a.at(1) : Value());
  if (!data) return false;
  const script::ScriptString* replacement = a.string(2);
  if (!replacement) {
    result = script::makeString(engine, std::u16string_view());
    return true;
  }
  std::u16string replacementUnits(replacement->view());  // the argument may be the subject itself
  RegExpState& state = *regExpState(engine);
  SavedMatch saved(engine);
  std::u16string_view units = unitsOf(self);
  size_t groupCount = data->compiled ? regexGroupCount(*data->compiled) : 0;
  script::StringBuilder out;
  size_t copied = 0;
  RegexSubject prepared(units);
  for (size_t from = 0; from <= units.size() && matchInput(engine, *data, self, from, false, &prepared);) {
    const RegexGroup& m = state.groups[0];
    out.append(units.substr(copied, size_t(m.start) - copied));
    appendReplacement(out, replacementUnits, units, state.groups, groupCount);
    copied = size_t(m.end);
    saved.save();
    if (!data->global()) break;
    from = nextStart(m);
  }
  saved.restore(self);
  if (data->global()) data->lastIndex = 0;
  out.append(units.substr(copied));
  result = out.finish(engine);
  return true;
}

// --- search

bool search(Engine& engine, const Value& self, const Value* args, Value& result) {
  RegExpData* data = regExpData(Arguments(args).at(1) ? *Arguments(args).at(1) : Value());
  if (!data) return false;
  bool found = matchInput(engine, *data, self, 0, false);
  result = Value::fromInteger(found ? regExpState(engine)->groups[0].start : -1);
  return true;
}

// --- split

// Splits at every match that is not empty at the end of the previous piece; the groups of each
// separator go into the array after the piece before it (Undefined for those that did not take
// part). An empty string gives no piece when the expression matches it.
bool split(Engine& engine, const Value& self, const Value* args, Value& result) {
  Arguments a(args);
  RegExpData* data = regExpData(a.at(1) ? *a.at(1) : Value());
  if (!data) return false;
  uint64_t limit = uint32_t(a.has(2, Tag::Integer) ? a.at(2)->integer() : kNoLimit);
  script::ArrayRecord* array = nullptr;
  result = newArrayValue(engine, array);
  if (limit == 0) return true;
  std::u16string_view units = unitsOf(self);
  RegExpState& state = *regExpState(engine);
  SavedMatch saved(engine);
  if (units.empty()) {
    if (!matchInput(engine, *data, self, 0, false)) script::storeElement(engine, *array, 0, self);
    return true;
  }
  size_t groupCount = data->compiled ? regexGroupCount(*data->compiled) : 0;
  uint64_t count = 0;
  auto push = [&](const Value& v) {
    script::storeElement(engine, *array, count++, v);
    return count < limit;
  };
  size_t piece = 0;  // where the current piece starts
  size_t from = 0;
  RegexSubject prepared(units);
  while (from < units.size() && matchInput(engine, *data, self, from, false, &prepared)) {
    RegexGroup m = state.groups[0];
    if (size_t(m.start) >= units.size()) break;
    saved.save();
    if (size_t(m.end) == piece) {
      from = size_t(m.start) + 1;
      continue;
    }
    if (!push(script::makeString(engine, units.substr(piece, size_t(m.start) - piece)))) return saved.restore(self), true;
    for (size_t k = 1; k <= groupCount && k < kMaxRegexGroups; ++k) {
      const RegexGroup& g = state.groups[k];
      Value v = g.start < 0 ? Value() : script::makeString(engine, units.substr(size_t(g.start), size_t(g.end - g.start)));
      if (!push(v)) return saved.restore(self), true;
    }
    piece = size_t(m.end);
    from = piece;
  }
  saved.restore(self);
  push(script::makeString(engine, units.substr(piece)));
  return true;
}

}  // namespace

void installStringHooks(Engine& engine) {
  engine.regexp.match = match;
  engine.regexp.replace = replace;
  engine.regexp.search = search;
  engine.regexp.split = split;
}

}  // namespace vexil::objects
