#include "host/hostobjects/application_state.h"

#include "script/runtime/collector.h"

namespace vexil::hostobjects {
ApplicationState::ApplicationState(script::Engine& e) : engine(e), timers(e), trace(e) {}

ApplicationState::~ApplicationState() = default;

void ApplicationState::mark() {
  for (const script::Value& hook : hooks) script::markValue(engine, hook);
  timers.mark();
}

}  // namespace vexil::hostobjects
