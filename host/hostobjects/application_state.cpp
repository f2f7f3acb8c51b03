#include "host/hostobjects/application_state.h"

#include <map>

#include "script/runtime/collector.h"

namespace vexil::hostobjects {
namespace {

// The runner and the start-up code reach an engine's hooks and trace file from outside any call.
std::map<const script::Engine*, ApplicationState*>& states() {
  static std::map<const script::Engine*, ApplicationState*> map;
  return map;
}

}  // namespace

ApplicationState::ApplicationState(script::Engine& e) : engine(e), timers(e), trace(e) { states()[&engine] = this; }

ApplicationState::~ApplicationState() {
  auto found = states().find(&engine);
  if (found != states().end() && found->second == this) states().erase(found);
}

void ApplicationState::mark() {
  for (const script::Value& hook : hooks) script::markValue(engine, hook);
  timers.mark();
}

ApplicationState* applicationState(const script::Engine& engine) {
  auto found = states().find(&engine);
  return found == states().end() ? nullptr : found->second;
}

}  // namespace vexil::hostobjects
