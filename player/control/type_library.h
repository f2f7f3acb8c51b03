#pragma once
// The control's type library (player_control.idl), which travels in the control's own file as
// resource 1 TYPELIB. It is read from there, never from the registry, so a control loaded
// straight from its file describes itself just as a registered one does.
#include <windows.h>
#include <oaidl.h>

#include "platform/win32/com_ptr.h"

namespace vexil::control {

using platform::ComPtr;

HRESULT loadTypeLibrary(ComPtr<ITypeLib>& library);

// One control's view of the library: loaded on first use and kept for the control's life.
class TypeLibrary {
 public:
  // The description of the interface or class guid; *info is null on failure.
  HRESULT typeInfo(REFGUID guid, ITypeInfo** info);

 private:
  ComPtr<ITypeLib> library_;
};

}  // namespace vexil::control
