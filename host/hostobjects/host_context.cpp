#include "host/hostobjects/host_context.h"

namespace vexil::hostobjects {

HostContext& hostContext() {
  static HostContext context;
  return context;
}

}  // namespace vexil::hostobjects
