// Function: the global "Function" and the class of every Function value.
#include <atomic>
#include <cstdio>

#include "script/builtins/builtin_texts.h"
#include "script/builtins/core_builtins.h"
#include "script/builtins/function_compiler.h"
#include "script/runtime/atom_table.h"
#include "script/runtime/conversion_messages.h"
#include "script/runtime/engine.h"
#include "script/runtime/host_class.h"
#include "script/runtime/script_string.h"

namespace vexil::script {

namespace {

std::atomic<FunctionSourceCompiler> installedCompiler{nullptr};

const Value* receiver(const HostCall& call) { return call.instance<Value>(); }

void functionToString(HostCall& call) { *call.result = makeStaticString(call.engine, kFunctionDescription); }

void functionValueOf(HostCall& call) {
  *call.result = receiver(call) ? *receiver(call) : globalSlot(call.engine, "Function");
}

// The generated function of a compilation is the global named after the count before it.
void functionConstruct(HostCall& call) {
  Engine& engine = call.engine;
  FunctionSourceCompiler compiler = installedCompiler.load();
  if (!compiler) return;
  char name[32];
  std::snprintf(name, sizeof name, kGeneratedFunctionFormat, unsigned(engine.functionBase));
  if (!compiler(engine, functionSource(call.args))) return;
  Atom atom = findAtom(engine, name);
  if (atom >= 0) *call.result = engine.globals.data[atom];
}

const HostMethodEntry kFunctionMethods[] = {
    {"toString", functionToString, true},
    {"valueOf", functionValueOf, true},
};

// No call operation: Function(...) without new is the call warning.
const HostClassInfo kFunctionClass = {
    .name = "Function",
    .methods = kFunctionMethods,
    .properties = {},
    .constants = {},
    .construct = functionConstruct,
};

}  // namespace

void setFunctionSourceCompiler(FunctionSourceCompiler compiler) { installedCompiler.store(compiler); }
FunctionSourceCompiler functionSourceCompiler() { return installedCompiler.load(); }

// The last argument is the body; the ones before it are the parameters, of which only strings are
// written.
std::string functionSource(const Arguments& args) {
  uint32_t count = args.count();
  uint32_t parameters = count > 0 ? count - 1 : 0;
  std::string source = "function (";
  for (uint32_t i = 1; i <= parameters; ++i) {
    if (!args.has(i, Tag::String)) continue;
    source += stringToAnsiText(*args.string(i));
    if (i < parameters) source += ", ";
  }
  source += ") {";
  if (count > 0 && args.has(count, Tag::String)) source += stringToAnsiText(*args.string(count));
  source += "}";
  return source;
}

void registerFunction(Engine& engine) {
  setClassDescriptor(engine, Tag::Function, defineHostClass(engine, kFunctionClass));
}

}  // namespace vexil::script
