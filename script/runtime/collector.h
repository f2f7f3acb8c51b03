#pragma once
// The mark-and-sweep collector.
//
// Roots, in order: the constant pool, the global slots, the class descriptors, the value stack
// above the stack pointer (frame-mark slots lead to their frame's block of locals), and the last
// result. Marking keeps an explicit work stack, so deep structures cost no native stack depth.
#include <cstddef>

#include "script/runtime/engine.h"

namespace vexil::script {

// Marks from the roots, with the live stack above sp, and sweeps; returns the live bytes.
size_t collectGarbage(Engine& engine, Value* sp);
// A point where the running code may collect: when the allocation counter has reached the
// pace, or always in stress mode. Then runs the host's collection hook; a non-zero answer is
// the runtime error "hook break %d".
void collectionPoint(Engine& engine);
// Whether a collection point would collect now.
inline bool collectionDue(const Engine& engine) {
  return engine.collectorStress || engine.heap.inUse >= engine.heap.pace;
}

// For mark-instance operations: mark a Value, or a raw engine-heap block (nothing inside it).
void markValue(Engine& engine, const Value& value);
void markHeapBlock(Engine& engine, void* block);

// Queues a release to run once the current sweep has run every finalizer (immediately when no
// sweep is running).
void deferRelease(DeferredRelease release, void* data);

// The destruction sweep: every block is dead, every finalizer runs.
void sweepAll(Engine& engine);

}  // namespace vexil::script
