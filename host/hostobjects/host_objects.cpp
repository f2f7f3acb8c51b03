#include "host/hostobjects/host_objects.h"

#include "host/hostobjects/window_object.h"

namespace vexil::hostobjects {

// Each class adds its step here as it is written.
script::ClassRegistry& addHostObjects(script::ClassRegistry& registry) {
  registry.set(script::ClassStep::Window, registerWindow);
  return registry;
}

}  // namespace vexil::hostobjects
