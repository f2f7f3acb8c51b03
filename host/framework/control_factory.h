#pragma once
// Creating an ActiveX control object, before it is sited: from the registered class, or straight
// from a control file without registration.
#include <windows.h>
#include <ocidl.h>

#include <optional>
#include <string>

#include "platform/win32/com_ptr.h"

namespace vexil::framework {

using platform::ComPtr;

// The registered class (in-process, local or remote server).
HRESULT createControlByClsid(REFCLSID clsid, ComPtr<IUnknown>& object);

// Loads the file as a library (it stays loaded) and creates the class through its
// DllGetClassObject: IClassFactory2::CreateInstanceLic when a licence key is given, else
// IClassFactory::CreateInstance. A file that does not load gives REGDB_E_CLASSNOTREG, one without
// the entry point CO_E_ERRORINDLL.
HRESULT createControlFromFile(const std::wstring& path, REFCLSID clsid, const std::optional<std::wstring>& licenceKey,
                              ComPtr<IUnknown>& object);

}  // namespace vexil::framework
