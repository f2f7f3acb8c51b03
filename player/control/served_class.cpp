#include "player/control/served_class.h"

#include "player/control/control_ids.h"

namespace vexil::control {

bool servesClass(REFCLSID clsid) { return IsEqualCLSID(clsid, kControlClsid); }

}  // namespace vexil::control
