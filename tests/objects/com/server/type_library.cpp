#include "tests/objects/com/server/type_library.h"

#include "platform/win32/dll_module.h"

namespace vexil::test_automation {

// Loaded once, as servers do: reading the file for every GetTypeInfo would make each object the
// server hands out cost a file load.
HRESULT loadTypeLibrary(ComPtr<ITypeLib>& library) {
  // Kept for the process's life: released at unload, oleaut32 may be gone already.
  static ITypeLib* loaded = nullptr;
  static HRESULT result = LoadTypeLibEx(platform::modulePath().c_str(), REGKIND_NONE, &loaded);
  library = ComPtr<ITypeLib>(loaded);
  return result;
}

HRESULT loadTypeInfo(REFGUID guid, ComPtr<ITypeInfo>& info) {
  ComPtr<ITypeLib> library;
  HRESULT result = loadTypeLibrary(library);
  if (FAILED(result)) return result;
  return library->GetTypeInfoOfGuid(guid, info.put());
}

}  // namespace vexil::test_automation
