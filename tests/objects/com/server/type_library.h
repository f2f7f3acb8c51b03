#pragma once
// The server's type library, which the DLL carries as its TYPELIB resource 1. Objects load it from
// the DLL's own file rather than from the registry, so they work before registration too.
#include <windows.h>
#include <oleauto.h>

#include "platform/win32/com_ptr.h"

namespace vexil::test_automation {

using platform::ComPtr;

HRESULT loadTypeLibrary(ComPtr<ITypeLib>& library);
// The type information of one interface or class of the library, by its GUID.
HRESULT loadTypeInfo(REFGUID guid, ComPtr<ITypeInfo>& info);

}  // namespace vexil::test_automation
