// Array join and toString: each element's text, with the separator between neighbouring indices.
// A hole contributes nothing but still gets its separators, so the work is in the elements that
// exist plus the text produced, never in the length alone.
#include <string>
#include <vector>

#include "script/builtins/array_builtin.h"
#include "script/runtime/conversions.h"
#include "script/runtime/messages.h"
#include "script/runtime/runtime_error.h"
#include "script/runtime/script_string.h"
#include "script/runtime/stack_roots.h"

namespace vexil::script {

namespace {

constexpr char16_t kDefaultSeparator[] = u",";
// The longest text a string can hold.
constexpr uint64_t kMaxStringUnits = UINT32_MAX / sizeof(char16_t);
// Arrays nested inside arrays join recursively; past this depth the native stack is at risk.
constexpr size_t kMaxJoinDepth = 200;

// The arrays whose join is running on this thread: an array that contains itself, directly or
// through other arrays or objects, contributes the empty text where it recurs.
thread_local std::vector<const ArrayRecord*> tJoining;

class JoinScope {
 public:
  JoinScope(Engine& engine, const ArrayRecord* array) {
    if (tJoining.size() >= kMaxJoinDepth) raiseError(engine, "%s", kStackOverflow);
    tJoining.push_back(array);
  }
  ~JoinScope() { tJoining.pop_back(); }
  JoinScope(const JoinScope&) = delete;
  JoinScope& operator=(const JoinScope&) = delete;
};

bool isJoining(const ArrayRecord* array) {
  for (const ArrayRecord* a : tJoining) {
    if (a == array) return true;
  }
  return false;
}

// Texts of these tags come without running script.
bool convertsQuietly(Tag tag) {
  return tag != Tag::Array && tag != Tag::Object && tag != Tag::Native && tag != Tag::Function;
}

class Joiner {
 public:
  Joiner(Engine& engine, std::u16string_view separator) : engine_(engine), separator_(separator) {}

  // Separators for every index passed since the previous element (or the start).
  void advanceTo(uint64_t index) {
    if (started_) separators(index - next_);
    else separators(index);
    started_ = true;
    next_ = index;
  }
  void append(const Value& value) {
    if (value.is(Tag::String)) {
      appendUnits(value.string()->view());
    } else {
      Value text;
      valueToString(engine_, value, &text);
      appendUnits(text.string()->view());
    }
  }
  Value finish(uint64_t length) {
    if (length) advanceTo(length - 1);
    return makeString(engine_, text_);
  }

 private:
  void separators(uint64_t count) {
    if (separator_.empty()) return;
    for (uint64_t i = 0; i < count; ++i) appendUnits(separator_);
  }
  void appendUnits(std::u16string_view units) {
    if (units.size() > kMaxStringUnits - text_.size()) raiseOutOfMemory(engine_);
    text_.append(units);
  }

  Engine& engine_;
  std::u16string_view separator_;
  std::u16string text_;
  uint64_t next_ = 0;
  bool started_ = false;
};

bool allQuiet(const ArrayRecord& array) {
  bool quiet = true;
  forEachElement(array, [&](uint64_t, Value& v) { quiet = quiet && convertsQuietly(v.tag); });
  return quiet;
}

// Element texts may run script that changes the array: the indices are taken first, each element
// is looked up again when its turn comes and held on the value stack while it converts.
void joinWithScript(Engine& engine, const ArrayRecord& array, Joiner& joiner) {
  std::vector<uint64_t> indices;
  indices.reserve(array.count());
  forEachElement(array, [&](uint64_t i, Value&) { indices.push_back(i); });
  StackRoots roots(engine);
  Value* held = roots.hold();
  for (uint64_t i : indices) {
    Value* element = findElement(array, i);
    if (!element || i >= array.length()) continue;
    *held = *element;
    joiner.advanceTo(i);
    if (held->is(Tag::Array) && isJoining(held->array())) continue;
    joiner.append(*held);
  }
}

}  // namespace

void arrayJoin(HostCall& call) {
  Engine& engine = call.engine;
  ArrayRecord* self = receiverArray(call);
  StackRoots roots(engine);
  Value* separator = roots.hold(makeStaticString(engine, kDefaultSeparator));
  if (call.args.count() > 0) valueToString(engine, *call.args.at(1), separator);
  uint64_t length = self->length();
  uint64_t sepLength = separator->string()->length;
  if (length > 1 && sepLength && (length - 1) > kMaxStringUnits / sepLength) raiseOutOfMemory(engine);
  JoinScope scope(engine, self);
  Joiner joiner(engine, separator->string()->view());
  if (allQuiet(*self)) {
    forEachElement(*self, [&](uint64_t i, Value& v) {
      if (i >= length) return;  // only an element at 2^64 - 1, past the saturated length
      joiner.advanceTo(i);
      joiner.append(v);
    });
  } else {
    joinWithScript(engine, *self, joiner);
  }
  *call.result = joiner.finish(length);
}

}  // namespace vexil::script
