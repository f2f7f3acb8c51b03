#pragma once
// Writing and removing the control's registry entries, under the machine's classes
// (HKEY_CLASSES_ROOT) or the current user's (HKEY_CURRENT_USER\Software\Classes): the class, its
// ProgIDs and the type library its file carries.
#include <windows.h>

namespace vexil::control {

enum class RegistrationScope { Machine, User };

HRESULT registerControl(RegistrationScope scope);
HRESULT unregisterControl(RegistrationScope scope);

}  // namespace vexil::control
