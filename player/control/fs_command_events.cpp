#include "player/control/fs_command_events.h"

#include "player/control/bstr.h"
#include "player/control/control_ids.h"

namespace vexil::control {

void fireFsCommand(const platform::ConnectionPoint& events, std::string_view command, std::string_view argument) {
  for (const auto& sink : events.sinks<IDispatch>()) {
    VARIANTARG arguments[2];  // reverse order: the last parameter first
    VariantInit(&arguments[0]);
    VariantInit(&arguments[1]);
    arguments[0].vt = VT_BSTR;
    arguments[0].bstrVal = utf8ToBstr(argument);
    arguments[1].vt = VT_BSTR;
    arguments[1].bstrVal = utf8ToBstr(command);
    DISPPARAMS parameters{arguments, nullptr, 2, 0};
    sink->Invoke(kDispidFsCommand, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters, nullptr, nullptr,
                 nullptr);
    VariantClear(&arguments[0]);
    VariantClear(&arguments[1]);
  }
}

}  // namespace vexil::control
