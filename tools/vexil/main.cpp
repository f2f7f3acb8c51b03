// vexil: the console script runner.
//
//   vexil FILE [ARG...]   runs a script file as the script host does (.vxs source, .vxc compiled,
//                         any other file sniffed); the arguments are the global array "arguments"
//   vexil -e TEXT         compiles and runs TEXT and prints its last result
//
// trace output and warnings go to standard output exactly as trace writes them (CR LF line ends);
// a failure's message, with where the script stopped, goes to standard error and the exit status
// is 1.
#include <cstdio>
#include <cstring>
#include <string>

#include "script/runtime/array_elements.h"
#include "script/runtime/conversions.h"
#include "script/runtime/native_class.h"
#include "script/runtime/runtime_error.h"
#include "script/runtime/script_string.h"
#include "script/vm/script_host.h"
#include "classes/class_list.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

namespace {

using namespace vexil::script;

constexpr char kUsage[] = "usage: vexil FILE [ARG...]\n       vexil -e TEXT\n";

void writeTrace(void*, const char* line) {
  std::fputs(line, stdout);
  std::fflush(stdout);
}

// The runner's output is bytes: line ends stay as the script wrote them.
void binaryStandardStreams() {
#if defined(_WIN32)
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
#endif
}

void defineArguments(Engine& engine, int count, char** args) {
  protectedCall(engine, [&] {
    Value& slot = globalSlot(engine, "arguments");
    ArrayRecord* array = newArray(engine);
    slot.setArray(array);
    for (int i = 0; i < count; ++i) storeElement(engine, *array, uint64_t(i), makeStringFromAnsi(engine, args[i]));
  });
}

void reportFailure(const ScriptHost& host) {
  if (!host.diagnostics.empty()) {
    std::fputs(host.diagnostics.c_str(), stderr);
    if (host.diagnostics.back() != '\n') std::fputc('\n', stderr);
    return;
  }
  FailureLocation where = lastFailureLocation(*host.engine);
  if (!where.sourceName.empty()) {
    std::fprintf(stderr, "%s", where.sourceName.c_str());
    if (where.line > 0) std::fprintf(stderr, ":%d", int(where.line));
    std::fprintf(stderr, ": ");
  }
  std::fprintf(stderr, "%s", host.engine->message[0] ? host.engine->message : "the script could not be run");
  if (!where.functionName.empty() && where.functionName != ".main")
    std::fprintf(stderr, " (in %s)", where.functionName.c_str());
  std::fputc('\n', stderr);
}

void printResult(Engine& engine) {
  protectedCall(engine, [&] {
    Value text;
    valueToString(engine, engine.lastResult, &text);
    std::string ansi = stringToAnsiText(*text.string());
    std::printf("%s\n", ansi.c_str());
  });
}

}  // namespace

int main(int argc, char** argv) {
  binaryStandardStreams();
  if (argc < 2 || (std::strcmp(argv[1], "-e") == 0 && argc != 3)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  ScriptHostOptions options;
  options.flags |= kHostDebugInfo;
  // On Windows with the host's objects too, with no main window, as the objects allow.
  ClassRegistry classes = vexil::classes::standardClasses();
  ScriptHost* host = createScriptHost(&options, &classes);
  if (!host) {
    std::fputs("vexil: the script engine could not be created\n", stderr);
    return 1;
  }
  host->engine->traceOutput = writeTrace;
  bool expression = std::strcmp(argv[1], "-e") == 0;
  bool ok;
  if (expression) {
    ok = runScriptText(*host, argv[2]);
    if (ok) printResult(*host->engine);
  } else {
    defineArguments(*host->engine, argc - 2, argv + 2);
    ok = runScriptFile(*host, argv[1]);
  }
  std::fflush(stdout);
  if (!ok) reportFailure(*host);
  destroyScriptHost(host);
  return ok ? 0 : 1;
}
