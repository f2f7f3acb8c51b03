// Runtime speed figures: engine-heap allocation beside the system malloc, a full collection of a
// million small live objects, and property get/set on small tables. Prints one line per figure.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "script/runtime/atom_table.h"
#include "script/runtime/collector.h"
#include "script/runtime/engine.h"
#include "script/runtime/heap.h"
#include "script/runtime/native_class.h"
#include "script/runtime/property_table.h"
#include "script/runtime/script_string.h"

using namespace vexil::script;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kBlocks = 1000000;
volatile uintptr_t gSink;

double nsSince(Clock::time_point start, double ops) {
  return std::chrono::duration<double, std::nano>(Clock::now() - start).count() / ops;
}

// Fresh heap (carving from new chunks), then the same again into the free lists of a swept heap.
void allocation(size_t size) {
  Engine* engine = createEngine(EngineConfig());
  auto start = Clock::now();
  for (int i = 0; i < kBlocks; ++i) gSink = uintptr_t(allocBlock(*engine, size));
  double fresh = nsSince(start, kBlocks);
  collectGarbage(*engine, engine->sp);
  start = Clock::now();
  for (int i = 0; i < kBlocks; ++i) gSink = uintptr_t(allocBlock(*engine, size));
  double swept = nsSince(start, kBlocks);
  destroyEngine(engine);

  std::vector<void*> blocks(kBlocks);
  start = Clock::now();
  for (int i = 0; i < kBlocks; ++i) blocks[i] = std::malloc(size);
  double mallocNs = nsSince(start, kBlocks);
  start = Clock::now();
  for (void* p : blocks) std::free(p);
  double freeNs = nsSince(start, kBlocks);
  std::printf("alloc %3zu B: engine heap %6.1f ns (fresh) %6.1f ns (after sweep) | malloc %6.1f ns, free %6.1f ns\n",
              size, fresh, swept, mallocNs, freeNs);
}

void collection() {
  Engine* engine = createEngine(EngineConfig());
  PropertyTable* table = newTable(*engine);
  globalSlot(*engine, "live") = Value::fromObject(table);
  // A million strings, each a record and a units block, held by one table.
  setByKey(*engine, table, Value::fromInteger(kBlocks - 1), Value());
  for (int i = 0; i < kBlocks; ++i) table->entries[i].value = makeString(*engine, 4, u"live");
  const int rounds = 5;
  size_t live = 0;
  auto start = Clock::now();
  for (int r = 0; r < rounds; ++r) live = collectGarbage(*engine, engine->sp);
  double ms = nsSince(start, rounds) / 1e6;
  destroyEngine(engine);
  std::printf("collect 1M live strings (2M blocks, %zu live bytes): %.1f ms per collection\n", live, ms);
}

void properties(int entries) {
  Engine* engine = createEngine(EngineConfig());
  PropertyTable* table = newTable(*engine);
  globalSlot(*engine, "t") = Value::fromObject(table);
  std::vector<Atom> atoms;
  for (int i = 0; i < entries; ++i) {
    atoms.push_back(intern(*engine, "property" + std::to_string(i)));
    setProperty(*engine, table, atoms.back(), Value::fromInteger(i));
  }
  const int ops = 4000000;
  Value out;
  int64_t sum = 0;
  auto start = Clock::now();
  for (int i = 0; i < ops; ++i) {
    getProperty(*engine, table, atoms[i % entries], &out);
    sum += out.integer();
  }
  double getNs = nsSince(start, ops);
  start = Clock::now();
  for (int i = 0; i < ops; ++i) setProperty(*engine, table, atoms[i % entries], Value::fromInteger(i));
  double setNs = nsSince(start, ops);
  gSink = uintptr_t(sum);
  destroyEngine(engine);
  std::printf("properties, %2d entries: get %5.1f ns, set %5.1f ns (every name in turn)\n", entries, getNs, setNs);
}

}  // namespace

int main() {
  for (size_t size : {16, 32, 64}) allocation(size);
  collection();
  for (int entries : {4, 16, 64}) properties(entries);
  return 0;
}
