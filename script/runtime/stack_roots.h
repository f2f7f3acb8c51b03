#pragma once
// Values that native code holds across a call that may run script must stay reachable, since any
// script call can end in a collection. StackRoots lends such values slots on the engine's value
// stack for the length of a scope and gives the slots back when it ends.
#include "script/runtime/engine.h"

namespace vexil::script {

class StackRoots {
 public:
  explicit StackRoots(Engine& engine) : engine_(engine), saved_(engine.sp) {}
  ~StackRoots() { engine_.sp = saved_; }
  StackRoots(const StackRoots&) = delete;
  StackRoots& operator=(const StackRoots&) = delete;

  // A rooted slot holding the value; it stays valid until the scope ends.
  Value* hold(const Value& value = Value()) { return pushValue(engine_, value); }

 private:
  Engine& engine_;
  Value* saved_;
};

}  // namespace vexil::script
