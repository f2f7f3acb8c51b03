#include "player/control/type_library.h"

#include "platform/win32/dll_module.h"

namespace vexil::control {

HRESULT loadTypeLibrary(ComPtr<ITypeLib>& library) {
  return LoadTypeLibEx(platform::modulePath().c_str(), REGKIND_NONE, library.put());
}

HRESULT TypeLibrary::typeInfo(REFGUID guid, ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = nullptr;
  if (!library_) {
    HRESULT result = loadTypeLibrary(library_);
    if (FAILED(result)) return result;
  }
  return library_->GetTypeInfoOfGuid(guid, info);
}

}  // namespace vexil::control
