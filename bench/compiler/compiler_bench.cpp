// Front-end speed: the lexer alone and the lexer with the parser over a generated script of about
// 5 MB (functions, loops, literals of every kind, comments). Prints MB/s, best of several runs.
#include <cstdio>
#include <string>

#include "bench/compiler/generated_script.h"
#include "script/compiler/compilation.h"
#include "script/compiler/front_end.h"
#include "script/compiler/lexer.h"
#include "script/compiler/script_stream.h"
#include "script/runtime/engine.h"

using namespace vexil::script;
using vexil::bench::bestMegabytesPerSecond;

namespace {

constexpr size_t kScriptSize = 5u << 20;
constexpr int kRuns = 5;

const char* const kUnit =
    "// Unit @: a function, a loop, literals of every kind.\n"
    "function update@(items, count) {\n"
    "  var total = 0, name = 'item@', ratio = 1.25e-3;\n"
    "  for (var i = 0; i < count; i++) {\n"
    "    if (items[i] != null && items[i].visible) {\n"
    "      total += items[i].width * ratio + (i << 2) - 0x1F;\n"
    "    } else {\n"
    "      trace(\"skipped \" + name + \"\\t\" + i);\n"
    "    }\n"
    "  }\n"
    "  /* a block comment\n     over two lines */\n"
    "  var style = {color: 0xFF00FF, alpha: 0.5, 'font': \"Arial\", list: [1, 2, 3,]};\n"
    "  return total > 100 ? /ab+c/gi.test(name) : style;\n"
    "}\n"
    "result@ = update@(movie.clips, 10);\n";

size_t lexOnce(Engine& engine, const std::string& script) {
  ScriptStream source(script);
  Compilation compilation(engine, source, 0);
  compilation.keywords.fill();
  size_t tokens = 0;
  for (;;) {
    Token* token = nextToken(compilation);
    bool end = token->kind == kTokenEnd;
    releaseToken(compilation, token);
    ++tokens;
    if (end) return tokens;
  }
}

bool parseOnce(Engine& engine, const std::string& script) {
  ScriptStream source(script);
  Compilation compilation(engine, source, 0);
  return runFrontEnd(compilation);
}

}  // namespace

int main() {
  const std::string script = vexil::bench::generateScript(kUnit, kScriptSize);
  Engine* engine = createEngine(EngineConfig());
  size_t tokens = 0;
  double lexer = bestMegabytesPerSecond(*engine, script, kRuns, [&] { tokens = lexOnce(*engine, script); });
  bool parsed = true;
  double parser = bestMegabytesPerSecond(*engine, script, kRuns, [&] { parsed = parseOnce(*engine, script) && parsed; });
  std::printf("script: %.2f MB, %zu tokens\n", double(script.size()) / (1 << 20), tokens);
  std::printf("lexer:          %7.1f MB/s\n", lexer);
  std::printf("lexer + parser: %7.1f MB/s%s\n", parser, parsed ? "" : " (PARSE FAILED)");
  destroyEngine(engine);
  return parsed ? 0 : 1;
}
