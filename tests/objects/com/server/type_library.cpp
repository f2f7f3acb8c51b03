#include "tests/objects/com/server/type_library.h"

#include "tests/objects/com/server/module.h"

namespace vexil::test_automation {

HRESULT loadTypeLibrary(ComPtr<ITypeLib>& library) {
  return LoadTypeLibEx(modulePath().c_str(), REGKIND_NONE, library.put());
}

HRESULT loadTypeInfo(REFGUID guid, ComPtr<ITypeInfo>& info) {
  ComPtr<ITypeLib> library;
  HRESULT result = loadTypeLibrary(library);
  if (FAILED(result)) return result;
  return library->GetTypeInfoOfGuid(guid, info.put());
}

}  // namespace vexil::test_automation
