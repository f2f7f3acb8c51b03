#pragma once
// Script that something outside any script call runs (an automation event a server fires, a socket
// notification from the message loop) tells the host it begins and ends, so the host keeps the
// engine alive meanwhile.
#include "script/runtime/engine.h"

namespace vexil::script {

class OutsideRun {
 public:
  explicit OutsideRun(Engine& engine) : engine_(engine) {
    if (engine_.outsideRunHook) engine_.outsideRunHook(engine_.outsideRunData, true);
  }
  ~OutsideRun() {
    if (engine_.outsideRunHook) engine_.outsideRunHook(engine_.outsideRunData, false);
  }
  OutsideRun(const OutsideRun&) = delete;
  OutsideRun& operator=(const OutsideRun&) = delete;

 private:
  Engine& engine_;
};

}  // namespace vexil::script
