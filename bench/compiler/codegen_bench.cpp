// Whole-compiler speed: source text to "VS1b" bytes (front end, code generation, every pass and
// the writer) over a generated script of about 5 MB with functions, loops, switches, try
// statements, for-in loops and literals of every kind. Prints MB/s of source, best of several runs.
#include <cstdio>
#include <string>

#include "bench/compiler/generated_script.h"
#include "script/compiler/compiler.h"
#include "script/runtime/engine.h"

using namespace vexil::script;
using vexil::bench::bestMegabytesPerSecond;

namespace {

constexpr size_t kScriptSize = 5u << 20;
constexpr int kRuns = 5;

const char* const kUnit =
    "// Unit @\n"
    "function update@(items, count) {\n"
    "  var total = 0, name = 'item@', ratio = 1.25e-3;\n"
    "  for (var i = 0; i < count; i++) {\n"
    "    if (items[i] != null && items[i].visible) {\n"
    "      total += items[i].width * ratio + (i << 2) - 0x1F;\n"
    "    } else {\n"
    "      trace(\"skipped \" + name + \"\\t\" + i);\n"
    "    }\n"
    "  }\n"
    "  switch (count % 3) { case 0: total++; break; case 1: total--; default: total = -total; }\n"
    "  try { total = check(total); } catch (e if e == 1) { total = 0; } catch (e) { trace(e); } finally { done(); }\n"
    "  for (var k in items) { if (k == 'skip') continue; total += arguments.length; }\n"
    "  var style = {color: 0xFF00FF, alpha: 0.5, 'font': \"Arial\", list: [1, 2, 3,]};\n"
    "  return total > 100 ? /ab+c/gi.test(name) : style;\n"
    "}\n"
    "result@ = update@(movie.clips, 10);\n";

}  // namespace

int main() {
  const std::string script = vexil::bench::generateScript(kUnit, kScriptSize);
  Engine* engine = createEngine(EngineConfig());
  size_t outputSize = 0;
  bool compiled = true;
  double best = bestMegabytesPerSecond(*engine, script, kRuns, [&] {
    auto bytes = compileText(*engine, script, kOptionDebugInfo);
    compiled = compiled && bytes.has_value();
    if (bytes) outputSize = bytes->size();
  });
  std::printf("script: %.2f MB source, %.2f MB compiled (with line table)\n", double(script.size()) / (1 << 20),
              double(outputSize) / (1 << 20));
  std::printf("compile to VS1b: %7.1f MB/s%s\n", best, compiled ? "" : " (COMPILE FAILED)");
  if (!compiled) std::printf("%s\n", lastCompileMessages(*engine).c_str());
  destroyEngine(engine);
  return compiled ? 0 : 1;
}
