// vexil: the console script runner.
//
//   vexil FILE [ARG...]   runs a script file as the script host does (.vxs source, .vxc compiled,
//                         any other file sniffed); the arguments are the global array "arguments"
//   vexil -e TEXT         compiles and runs TEXT and prints its last result
//
// trace output and warnings go to standard output exactly as trace writes them (CR LF line ends);
// a failure's message, with where the script stopped as FILE:LINE (lines counted from 1), goes to
// standard error and the exit status is 1. A usage mistake exits with 2.
#include <cstdio>
#include <cstring>
#include <string>

#include "script/runtime/array_elements.h"
#include "script/runtime/conversions.h"
#include "script/runtime/native_class.h"
#include "script/runtime/runtime_error.h"
#include "script/compiler/readable_diagnostics.h"
#include "script/runtime/script_string.h"
#include "script/vm/script_host.h"
#include "classes/class_list.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

namespace {

using namespace vexil::script;

constexpr char kUsage[] =
    "usage: vexil FILE [ARG...]   run a script: .vxs source, .vxc compiled, or a file sniffed\n"
    "                             by its \"VS1b\" magic; the ARGs are the global array arguments\n"
    "       vexil -e TEXT         run TEXT and print its last result\n"
    "       vexil --help          show this text\n";

constexpr char kUnreadableCompiledScript[] = "not a readable compiled script (missing, truncated or damaged)";

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

// sourceName names the script in compile diagnostics (the file, or "<text>" for -e).
void reportFailure(const ScriptHost& host, const std::string& sourceName) {
  if (!host.diagnostics.empty()) {
    std::string text = readableDiagnostics(host.diagnostics, sourceName);
    std::fputs(text.c_str(), stderr);
    if (text.back() != '\n') std::fputc('\n', stderr);
    return;
  }
  if (!host.engine->message[0]) {
    // Nothing compiled and nothing ran: the compiled file could not be read.
    std::fprintf(stderr, "%s%s\n", readableLocation(sourceName, -1).c_str(), kUnreadableCompiledScript);
    return;
  }
  FailureLocation where = lastFailureLocation(*host.engine);
  std::fputs(readableLocation(where.sourceName, where.line).c_str(), stderr);
  std::fputs(host.engine->message, stderr);
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
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  bool unknownOption = argv[1] && argv[1][0] == '-' && argv[1][1] != 0 && std::strcmp(argv[1], "-e") != 0;
  if (argc < 2 || unknownOption || (std::strcmp(argv[1], "-e") == 0 && argc != 3)) {
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
  if (!ok) reportFailure(*host, expression ? std::string("<text>") : std::string(argv[1]));
  destroyScriptHost(host);
  return ok ? 0 : 1;
}
