#include "script/runtime/collector.h"

#include <new>

#include "script/runtime/array_elements.h"
#include "script/runtime/heap_internal.h"
#include "script/runtime/host_class.h"
#include "script/runtime/messages.h"
#include "script/runtime/native_class.h"
#include "script/runtime/property_table.h"
#include "script/runtime/runtime_error.h"
#include "script/runtime/script_function.h"
#include "script/runtime/script_string.h"
#include "script/runtime/value_block.h"

namespace vexil::script {

namespace {

thread_local Engine* tSweepingEngine = nullptr;

void trace(Engine& engine, const Value& value);

// Queues a newly marked container for tracing. Without memory for the queue it is traced at once:
// deeper native recursion, but never a half-marked heap.
void queue(Engine& engine, const Value& value) {
  try {
    engine.markStack.push_back(value);
  } catch (const std::bad_alloc&) {
    trace(engine, value);
  }
}

void queueTable(Engine& engine, PropertyTable* table) {
  if (markBlock(table)) queue(engine, Value::fromObject(table));
}

void markClass(Engine& engine, NativeClass* cls) {
  if (!markBlock(cls)) return;
  queueTable(engine, cls->prototype);
}

void markNameIndex(PropertyTable* table) {
  if (!table->chains) return;
  markBlock(table->chains);
  markBlock(table->counts);
  for (int i = 0; i < kNameChainCount; ++i) {
    for (NameNode* node = table->chains[i]; node; node = node->next) {
      markBlock(node);
      markBlock(node->name);
    }
  }
}

// An object reached through exactly one not-yet-marked object entry is traced in the same loop,
// so long chains (prototype chains, linked lists) take no stack and no queue space.
void traceTable(Engine& engine, PropertyTable* table) {
  while (table) {
    markBlock(table->entries);
    markNameIndex(table);
    PropertyTable* next = nullptr;
    for (uint32_t i = 0; i < table->count; ++i) {
      const Value& v = table->entries[i].value;
      if (v.tag != Tag::Object) {
        markValue(engine, v);
        continue;
      }
      PropertyTable* child = v.table();
      if (!markBlock(child)) continue;
      if (!next) {
        next = child;
      } else {
        queue(engine, v);
      }
    }
    table = next;
  }
}

void traceArray(Engine& engine, ArrayRecord* array) {
  markArrayElements(engine, *array);
  queueTable(engine, array->props);
}

void traceNative(Engine& engine, NativeObject* object) {
  NativeClass* cls = object->cls;
  if (cls) markClass(engine, cls);
  queueTable(engine, object->props);
  if (cls && cls->markInstance && object->data) cls->markInstance(engine, cls, object->data);
}

void trace(Engine& engine, const Value& value) {
  switch (value.tag) {
    case Tag::Object: traceTable(engine, value.table()); break;
    case Tag::Array: traceArray(engine, value.array()); break;
    case Tag::Native: traceNative(engine, value.native()); break;
    default: break;
  }
}

void drain(Engine& engine) {
  while (!engine.markStack.empty()) {
    Value v = engine.markStack.back();
    engine.markStack.pop_back();
    trace(engine, v);
  }
}

void markValueBlock(Engine& engine, ValueBlock* block) {
  if (!markBlock(block)) return;
  // The count cannot claim more values than the block holds.
  size_t room = (blockSize(block) - kValueBlockHeader) / sizeof(Value);
  uint32_t count = block->count < room ? block->count : uint32_t(room);
  for (uint32_t i = 0; i < count; ++i) markValue(engine, block->values()[i]);
}

// A frame-mark slot followed by another frame-mark slot: the second one's payload is the frame's
// block of values (or null). Other frame-mark slots carry no heap pointers.
void markStack(Engine& engine, Value* sp) {
  Value* end = stackEnd(engine);
  for (Value* slot = sp + 1; slot < end; ++slot) {
    if (slot->tag == Tag::FrameMark && slot + 1 < end && slot[1].tag == Tag::FrameMark) {
      ++slot;
      if (auto* block = static_cast<ValueBlock*>(slot->pointer())) markValueBlock(engine, block);
      continue;
    }
    markValue(engine, *slot);
  }
}

void markRoots(Engine& engine, Value* sp) {
  for (uint32_t i = 0; i < engine.constants.count; ++i) markValue(engine, engine.constants.data[i]);
  for (uint32_t i = 0; i < engine.globals.count; ++i) markValue(engine, engine.globals.data[i]);
  for (NativeClass* cls : engine.classes) {
    if (cls) markClass(engine, cls);
  }
  for (const HostClassRecord& record : engine.hostClasses) markClass(engine, record.cls);
  markHostClassStates(engine);
  if (sp) markStack(engine, sp);
  // Results the host has not read yet, and error texts on their way to a handler.
  markValue(engine, engine.lastResult);
  for (ErrorFrame* frame = engine.errorFrames; frame; frame = frame->next) markValue(engine, frame->thrown);
  if (engine.entries.markRunningCode) engine.entries.markRunningCode(engine);
  drain(engine);
}

void finalize(void* user) {
  if (!(blockHeader(user) & kFinalizerBit)) return;
  if (Finalizer f = *static_cast<Finalizer*>(user)) f(user);
}

// Dead neighbours merge into one free block. Finalizers of one sweep may still read the fields of
// blocks that died in it (everything but the first word stays intact until the next allocation).
size_t sweepChunk(HeapState& heap, Chunk* chunk) {
  size_t live = 0;
  char* end = chunkEnd(chunk);
  char* at = chunkBegin(chunk);
  while (at < end) {
    void* user = at + kHeaderSize;
    size_t size = blockSize(user);
    BlockHeader& header = blockHeader(user);
    if (header & kMarkBit) {
      header &= ~kMarkBit;
      live += size;
      heap.inUse = size;
      at += kHeaderSize + size;
      continue;
    }
    finalize(user);
    char* next = at + kHeaderSize + size;
    while (next < end && !(*reinterpret_cast<BlockHeader*>(next) & kMarkBit)) {
      void* swallowed = next + kHeaderSize;
      finalize(swallowed);
      size_t more = blockSize(swallowed);
      size += more + kHeaderSize;
      next += kHeaderSize + more;
    }
    pushFreeBlock(heap, user, size);
    at = next;
  }
  return live;
}

void runDeferredReleases(Engine& engine) {
  auto pending = std::move(engine.deferredReleases);
  engine.deferredReleases.clear();
  for (auto& [release, data] : pending) release(data);
}

size_t sweep(Engine& engine) {
  HeapState& heap = engine.heap;
  clearFreeLists(heap);
  heap.inUse = 0;
  size_t live = 0;
  tSweepingEngine = &engine;
  for (Chunk* chunk = heap.chunks; chunk; chunk = chunk->previous) live += sweepChunk(heap, chunk);
  tSweepingEngine = nullptr;
  runDeferredReleases(engine);
  poisonFreeLists(heap);
  ++heap.collections;
  return live;
}

}  // namespace

void markValue(Engine& engine, const Value& value) {
  switch (value.tag) {
    case Tag::String: {
      ScriptString* s = value.string();
      if (!markBlock(s)) return;
      if (!s->isStatic() && s->chars) markBlock(const_cast<char16_t*>(s->chars));
      queueTable(engine, s->props);
      return;
    }
    case Tag::Object: queueTable(engine, value.table()); return;
    case Tag::Array:
    case Tag::Native:
      if (markBlock(value.pointer())) queue(engine, value);
      return;
    case Tag::Function: {
      ScriptFunction* f = value.function();
      if (!markBlock(f)) return;
      markBlock(f->code);
      queueTable(engine, f->props);
      return;
    }
    default: return;
  }
}

void markHeapBlock(Engine&, void* block) { markBlock(block); }

void deferRelease(DeferredRelease release, void* data) {
  Engine* engine = tSweepingEngine;
  if (engine) {
    try {
      engine->deferredReleases.emplace_back(release, data);
      return;
    } catch (const std::bad_alloc&) {
    }
  }
  release(data);
}

size_t collectGarbage(Engine& engine, Value* sp) {
  if (engine.collecting) return 0;
  engine.collecting = true;
  markRoots(engine, sp);
  size_t live = sweep(engine);
  engine.heap.pace = live > engine.heap.threshold ? live : engine.heap.threshold;
  engine.collecting = false;
  return live;
}

void collectionPoint(Engine& engine) {
  if (!collectionDue(engine)) return;
  collectGarbage(engine, engine.sp);
  if (!engine.collectionHook) return;
  if (int answer = engine.collectionHook(2, engine.collectionHookData)) raiseError(engine, kHookBreakFormat, answer);
}

void sweepAll(Engine& engine) {
  engine.collecting = true;
  sweep(engine);
  engine.collecting = false;
}

}  // namespace vexil::script
