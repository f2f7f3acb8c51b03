#include "script/vm/script_host.h"

#include <cstring>
#include <new>
#include <optional>
#include <vector>

#include "platform/file_system.h"
#include "script/builtins/function_compiler.h"
#include "script/compiler/compiler.h"
#include "script/compiler/readable_diagnostics.h"
#include "script/runtime/arguments.h"
#include "script/runtime/class_registration.h"
#include "script/runtime/native_class.h"
#include "script/runtime/runtime_error.h"
#include "script/runtime/script_string.h"
#include "script/vm/loader.h"
#include "script/vm/machine.h"
#include "script/vm/vm_messages.h"

namespace vexil::script {

namespace {

constexpr char kCompiledExtension[] = ".vxc";
constexpr char kSourceExtension[] = ".vxs";

// Flag bits of the handle and the compile option bits they switch on.
constexpr struct {
  uint32_t flag;
  CompileOptions option;
} kCompileFlagMap[] = {
    {0x10, 1u << 1},      {0x20, 1u << 2},      {0x40, 1u << 3},      {0x80, 1u << 16},
    {0x100, 1u << 17},    {0x400, 1u << 18},    {0x800, 1u << 19},    {0x1000, 1u << 20},
    {0x2000, 1u << 21},   {0x4000, 1u << 22},   {0x8000, 0x20},       {0x10000, 0x40},
    {0x20000, 0x80},      {0x40000, 0x100},
};

// Engine option bits for the behaviour flags of the handle.
constexpr uint32_t kEngineBehaviour1 = 1u << 3;
constexpr uint32_t kEngineBehaviour2 = 1u << 4;

uint32_t engineOptionsFor(uint32_t flags) {
  uint32_t options = 0;
  if (flags & kHostCreationFlag) options |= kOptionCreationFlag;
  if (flags & kHostBehaviour1) options |= kEngineBehaviour1;
  if (flags & kHostBehaviour2) options |= kEngineBehaviour2;
  if (flags & kHostWarnUndefinedVariables) options |= kOptionWarnUndefinedVariables;
  return options;
}

bool hasExtension(const std::string& path, const char* extension) {
  size_t n = std::strlen(extension);
  if (path.size() < n) return false;
  for (size_t i = 0; i < n; ++i) {
    char c = path[path.size() - n + i];
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    if (c != extension[i]) return false;
  }
  return true;
}

void keepDiagnostics(ScriptHost& host) {
  host.diagnostics = lastCompileMessages(*host.engine);
}

bool runBytes(ScriptHost& host, const std::optional<std::vector<uint8_t>>& bytes) {
  if (!bytes) return false;
  auto script = readCompiledScript(*bytes);
  if (!script) return false;
  return runCompiledScript(*host.engine, *script);
}

// Loads and runs a compiled module inside the current run, without a boundary of its own: a throw
// or runtime error in it goes to the caller's handlers like one of the caller's own.
void runNested(Engine& engine, const std::optional<std::vector<uint8_t>>& bytes) {
  if (!bytes) raiseError(engine, "%s", lastCompileMessages(engine).c_str());
  auto script = readCompiledScript(*bytes);
  if (!script) raiseError(engine, "%s", "invalid compiled script");
  engine.lastResult.setUndefined();
  if (CodeRecord* main = loadModule(engine, *script)) runCode(engine, main, nullptr, nullptr, 0);
}

// eval(text): the text's value; any other argument is its own value.
void evalCall(Engine& engine, NativeClass*, void* data, Value* result, const Value* block) {
  auto* host = static_cast<ScriptHost*>(data);
  Arguments args(block);
  result->setUndefined();
  if (args.count() == 0) return;
  if (!args.has(1, Tag::String)) {
    *result = *args.at(1);
    return;
  }
  std::string text = stringToAnsiText(*args.string(1));
  runNested(engine, compileText(engine, text, compileOptionsFor(host->options)));
  *result = engine.lastResult;
}

// evals(path): the value of the script file's run.
void evalsCall(Engine& engine, NativeClass*, void* data, Value* result, const Value* block) {
  auto* host = static_cast<ScriptHost*>(data);
  Arguments args(block);
  result->setUndefined();
  if (!args.has(1, Tag::String)) return;
  std::string path = stringToAnsiText(*args.string(1));
  runNested(engine, compileFile(engine, path, compileOptionsFor(host->options)));
  *result = engine.lastResult;
}

void defineHostFunction(ScriptHost& host, const char* name, CallOp call) {
  NativeClass* cls = newClass(*host.engine);
  cls->call = call;
  makeNative(*host.engine, &globalSlot(*host.engine, name), cls, &host);
}

// new Function(...): the text defines one generated function; nothing else of it runs.
bool compileFunctionSource(Engine& engine, const std::string& source) {
  auto bytes = compileText(engine, source, kOptionDebugInfo);
  if (!bytes) return false;
  auto script = readCompiledScript(*bytes);
  if (!script) return false;
  return protectedCall(engine, [&] { loadModule(engine, *script); });
}

// "FILE:LINE: " of the last failed run, for the texts of uncaught errors; code compiled without
// line records can tell only its function.
std::string failurePlace(const Engine& engine) {
  FailureLocation where = lastFailureLocation(engine);
  if (!where.sourceName.empty() && where.sourceName != kUnknownSourceName) {
    return readableLocation(where.sourceName, where.line);
  }
  if (!where.functionName.empty() && where.functionName != ".main") return "in " + where.functionName + "(): ";
  return "";
}

}  // namespace

CompileOptions compileOptionsFor(const ScriptHostOptions& options) {
  CompileOptions result = options.userWord ? kOptionListing : 0;
  for (const auto& entry : kCompileFlagMap)
    if (options.flags & entry.flag) result |= entry.option;
  return result;
}

ScriptHost* createScriptHost(const ScriptHostOptions* options, const ClassRegistry* classes) {
  auto* host = new (std::nothrow) ScriptHost();
  if (!host) return nullptr;
  if (options) host->options = *options;
  EngineConfig config;
  config.stackSize = host->options.stackSize;
  config.userWord = host->options.userWord;
  config.options = engineOptionsFor(host->options.flags);
  config.entries = machineEntries();
  config.classes = classes;
  host->engine = createEngine(config);
  if (!host->engine) {
    delete host;
    return nullptr;
  }
  host->engine->failurePlace = failurePlace;
  host->engine->collectionHook = host->options.breakHook;
  host->engine->collectionHookData = host->options.breakHookData;
  bool defined = protectedCall(*host->engine, [&] {
    defineHostFunction(*host, "eval", evalCall);
    defineHostFunction(*host, "evals", evalsCall);
  });
  if (!defined) {
    destroyScriptHost(host);
    return nullptr;
  }
  setFunctionSourceCompiler(compileFunctionSource);
  return host;
}

void destroyScriptHost(ScriptHost* host) {
  if (!host) return;
  destroyEngine(host->engine);
  delete host;
}

bool runCompiledFile(ScriptHost& host, const std::string& path) {
  host.engine->message[0] = 0;
  host.engine->lastResult.setUndefined();
  auto script = readCompiledFile(path);
  if (!script) return false;
  return runCompiledScript(*host.engine, *script);
}

bool runScriptText(ScriptHost& host, std::string_view text) {
  auto bytes = compileText(*host.engine, text, compileOptionsFor(host.options));
  keepDiagnostics(host);
  return runBytes(host, bytes);
}

bool runScriptText(ScriptHost& host, const char* text, size_t length) {
  std::string copy(text, length);
  return runScriptText(host, std::string_view(copy.c_str()));
}

bool runScriptFile(ScriptHost& host, const std::string& path) {
  bool compiled = hasExtension(path, kCompiledExtension);
  if (!compiled && !hasExtension(path, kSourceExtension)) {
    auto bytes = platform::readWholeFile(path);
    compiled = bytes && hasCompiledMagic(*bytes);
  }
  if (compiled) return runCompiledFile(host, path);
  auto bytes = compileFile(*host.engine, path, compileOptionsFor(host.options));
  keepDiagnostics(host);
  return runBytes(host, bytes);
}

}  // namespace vexil::script
