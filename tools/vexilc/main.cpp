// vexilc — the command-line compiler.
//   vexilc [-g] [-o OUT] [-Wsemicolon] [-Wstrict-lines] FILE   compile FILE (to FILE.vxc by default)
//   vexilc --dis FILE                                          list a compiled file
//   vexilc --tree FILE                                         print the syntax tree of a source
//   vexilc --help                                              show the usage
// Diagnostics go to stderr as FILE:LINE: error: message (lines counted from 1); the exit status is
// 1 on an error, 2 on a usage mistake.
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "script/compiler/compilation.h"
#include "script/compiler/compiled_script.h"
#include "script/compiler/compiler.h"
#include "script/compiler/disassembler.h"
#include "script/compiler/front_end.h"
#include "script/compiler/readable_diagnostics.h"
#include "script/compiler/script_stream.h"
#include "script/compiler/tree_printer.h"
#include "script/runtime/engine.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

using namespace vexil::script;

namespace {

constexpr char kUsage[] =
    "usage: vexilc [-g] [-o OUT] [-Wsemicolon] [-Wstrict-lines] FILE\n"
    "           compile FILE to OUT (default: FILE with the extension .vxc)\n"
    "           -g: keep line records, so errors name their line\n"
    "           -Wsemicolon: warn where a statement ends without ;\n"
    "           -Wstrict-lines: warn about line ends inside string constants\n"
    "       vexilc --dis FILE    list a compiled file: header, constants, functions, code\n"
    "       vexilc --tree FILE   print the syntax tree of a source\n"
    "       vexilc --help        show this text\n";
constexpr char kCompiledExtension[] = ".vxc";

enum class Mode { Compile, Disassemble, Tree };

struct Arguments {
  Mode mode = Mode::Compile;
  CompileOptions options = 0;
  std::string output;
  std::string input;
};

bool parseArguments(int argc, char** argv, Arguments& args) {
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    if (arg == "-g") {
      args.options |= kOptionDebugInfo;
    } else if (arg == "-o" && i + 1 < argc) {
      args.output = argv[++i];
    } else if (arg == "-Wsemicolon") {
      args.options |= kOptionWarnMissingSemicolon;
    } else if (arg == "-Wstrict-lines") {
      args.options |= kOptionStrictLineTerminators;
    } else if (arg == "--dis") {
      args.mode = Mode::Disassemble;
    } else if (arg == "--tree") {
      args.mode = Mode::Tree;
    } else if (!arg.empty() && arg[0] == '-' && arg != "-") {
      return false;
    } else if (args.input.empty()) {
      args.input = arg;
    } else {
      return false;
    }
  }
  return !args.input.empty();
}

// FILE with its extension (if any) replaced by ".vxc".
std::string defaultOutput(const std::string& input) {
  size_t base = input.find_last_of("/\\");
  base = base == std::string::npos ? 0 : base + 1;
  size_t dot = input.rfind('.');
  std::string stem = (dot != std::string::npos && dot > base) ? input.substr(0, dot) : input;
  return stem + kCompiledExtension;
}

int compile(Engine& engine, const Arguments& args) {
  std::string output = args.output.empty() ? defaultOutput(args.input) : args.output;
  CompileOutputs outputs;
  outputs.outputPath = output.c_str();
  auto bytes = compileFile(engine, args.input, args.options, outputs);
  std::fputs(readableDiagnostics(lastCompileMessages(engine), args.input).c_str(), stderr);
  return bytes ? 0 : 1;
}

int disassembleFile(const Arguments& args) {
  auto script = readCompiledFile(args.input);
  if (!script) {
    std::fprintf(stderr, "vexilc: not a readable compiled script: %s\n", args.input.c_str());
    return 1;
  }
  std::fputs(disassemble(*script).c_str(), stdout);
  return 0;
}

int printSyntaxTree(Engine& engine, const Arguments& args) {
  auto source = ScriptStream::openFileSource(engine, args.input);
  if (!source) {
    std::fputs(engine.message, stderr);
    return 1;
  }
  Compilation compilation(engine, *source, args.options);
  bool parsed = runFrontEnd(compilation);
  std::fputs(readableDiagnostics(compilation.diagnostics.text(), args.input).c_str(), stderr);
  if (!parsed) {
    if (!compilation.diagnostics.failed()) std::fprintf(stderr, "%s\n", engine.message);
    return 1;
  }
  TreePrintOptions print;
  print.lines = true;
  std::string tree = printTree(compilation, print);
  std::fputs(tree.c_str(), stdout);
  if (!tree.empty() && tree.back() != '\n') std::fputc('\n', stdout);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
  // The diagnostics end their lines in CR LF already: no second CR on the way out.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
#endif
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  Arguments args;
  if (!parseArguments(argc, argv, args)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  if (args.mode == Mode::Disassemble) return disassembleFile(args);
  Engine* engine = createEngine(EngineConfig());
  if (!engine) {
    std::fputs("vexilc: cannot create a script engine\n", stderr);
    return 1;
  }
  int status = args.mode == Mode::Tree ? printSyntaxTree(*engine, args) : compile(*engine, args);
  destroyEngine(engine);
  return status;
}
