// String members that look for text: indexOf, lastIndexOf, search, replace, split and match. A
// RegExp argument goes to the RegExp class through the engine's hooks; plain texts are searched
// unit by unit here.
#include "script/builtins/array_builtin.h"
#include "script/builtins/string_builtin.h"
#include "script/runtime/engine.h"
#include "script/runtime/stack_roots.h"

namespace vexil::script {

namespace {

constexpr int64_t kNoLimit = 0x7FFFFFFF;

using PatternHook = bool (*)(Engine& engine, const Value& self, const Value* args, Value& result);

// Lets the RegExp class answer when the first argument is one of its objects.
bool regExpAnswered(HostCall& call, PatternHook hook, const Value* block) {
  return hook && call.args.count() > 0 && hook(call.engine, *call.instance<Value>(), block, *call.result);
}

// The argument block again, for the hooks (they read it as the machine passed it).
const Value* blockOf(const HostCall& call) { return call.args.at(1) ? call.args.at(1) - 1 : nullptr; }

size_t findFrom(std::u16string_view text, std::u16string_view what, size_t start) {
  return start > text.size() ? std::u16string_view::npos : text.find(what, start);
}

}  // namespace

void stringIndexOf(HostCall& call) {
  std::u16string_view text = receiverText(call);
  call.result->setInteger(-1);
  if (call.args.count() == 0) return;
  Value what = textArgument(call.engine, *call.args.at(1));
  const Value* startArg = integerArgument(call.args, 2);
  int64_t start = startArg ? startArg->integer() : 0;
  if (start < 0 || uint64_t(start) > text.size()) return;
  size_t at = findFrom(text, what.string()->view(), size_t(start));
  if (at != std::u16string_view::npos) call.result->setInteger(int64_t(at));
}

void stringLastIndexOf(HostCall& call) {
  std::u16string_view text = receiverText(call);
  call.result->setInteger(-1);
  if (call.args.count() == 0) return;
  Value whatValue = textArgument(call.engine, *call.args.at(1));
  std::u16string_view what = whatValue.string()->view();
  if (what.size() > text.size()) return;
  int64_t last = int64_t(text.size() - what.size());
  const Value* startArg = integerArgument(call.args, 2);
  int64_t start = startArg ? startArg->integer() : last;
  if (start < 0) return;
  if (start > last) start = last;
  size_t at = text.rfind(what, size_t(start));
  if (at != std::u16string_view::npos) call.result->setInteger(int64_t(at));
}

void stringSearch(HostCall& call) {
  if (regExpAnswered(call, call.engine.regexp.search, blockOf(call))) return;
  call.result->setInteger(-1);
  const ScriptString* what = call.args.string(1);
  if (!what) return;
  size_t at = receiverText(call).find(what->view());
  if (at != std::u16string_view::npos) call.result->setInteger(int64_t(at));
}

void stringMatch(HostCall& call) {
  if (regExpAnswered(call, call.engine.regexp.match, blockOf(call))) return;
  *call.result = newArrayValue(call.engine);
}

// Only the first occurrence of a plain pattern is replaced. A pattern that does not occur leaves
// the text as it was (s = s.replace(a, b) must not wipe s); a missing argument or a replacement
// that is not a String gives the empty string.
void stringReplace(HostCall& call) {
  if (regExpAnswered(call, call.engine.regexp.replace, blockOf(call))) return;
  std::u16string_view text = receiverText(call);
  const ScriptString* replacement = call.args.string(2);
  *call.result = makeString(call.engine, 0);
  if (call.args.count() < 2 || !replacement) return;
  StackRoots roots(call.engine);
  Value* pattern = roots.hold(textArgument(call.engine, *call.args.at(1)));
  size_t at = text.find(pattern->string()->view());
  if (at == std::u16string_view::npos) {
    *call.result = makeString(call.engine, text);
    return;
  }
  StringBuilder out;
  out.append(text.substr(0, at)).append(replacement->view()).append(text.substr(at + pattern->string()->length));
  *call.result = out.finish(call.engine);
}

void stringSplit(HostCall& call) {
  Engine& engine = call.engine;
  if (regExpAnswered(call, engine.regexp.split, blockOf(call))) return;
  std::u16string_view text = receiverText(call);
  const ScriptString* separator = call.args.string(1);
  StackRoots roots(engine);
  Value* result = roots.hold(newArrayValue(engine));
  ArrayRecord& pieces = *result->array();
  *call.result = *result;
  if (!separator) {
    storeElement(engine, pieces, 0, makeString(engine, text));
    return;
  }
  // A negative limit counts as no limit.
  const Value* limitArg = integerArgument(call.args, 2);
  int64_t limit = limitArg && limitArg->integer() >= 0 ? limitArg->integer() : kNoLimit;
  std::u16string_view sep = separator->view();
  uint64_t count = 0;
  if (sep.empty()) {
    for (; count < uint64_t(limit) && count < text.size(); ++count) {
      storeElement(engine, pieces, count, makeString(engine, text.substr(size_t(count), 1)));
    }
    return;
  }
  if (limit == 0) return;
  size_t from = 0;
  for (size_t at; count < uint64_t(limit) && (at = text.find(sep, from)) != std::u16string_view::npos;) {
    storeElement(engine, pieces, count++, makeString(engine, text.substr(from, at - from)));
    from = at + sep.size();
  }
  if (count < uint64_t(limit)) storeElement(engine, pieces, count, makeString(engine, text.substr(from)));
}

}  // namespace vexil::script
