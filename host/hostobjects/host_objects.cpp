#include "host/hostobjects/host_objects.h"

namespace vexil::hostobjects {

// Each class adds its step here as it is written.
script::ClassRegistry& addHostObjects(script::ClassRegistry& registry) { return registry; }

}  // namespace vexil::hostobjects
