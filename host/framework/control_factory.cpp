#include "host/framework/control_factory.h"

namespace vexil::framework {

HRESULT createControlByClsid(REFCLSID clsid, ComPtr<IUnknown>& object) {
  return CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER,
                          IID_IUnknown, object.putVoid());
}

HRESULT createControlFromFile(const std::wstring& path, REFCLSID clsid, const std::optional<std::wstring>& licenceKey,
                              ComPtr<IUnknown>& object) {
  HMODULE module = LoadLibraryW(path.c_str());
  if (!module) return REGDB_E_CLASSNOTREG;
  using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
  auto getClassObject =
      reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
  if (!getClassObject) return CO_E_ERRORINDLL;

  if (licenceKey) {
    ComPtr<IClassFactory2> factory;
    HRESULT status = getClassObject(clsid, IID_IClassFactory2, factory.putVoid());
    if (FAILED(status)) return status;
    BSTR key = SysAllocStringLen(licenceKey->data(), UINT(licenceKey->size()));
    status = factory->CreateInstanceLic(nullptr, nullptr, IID_IUnknown, key, object.putVoid());
    SysFreeString(key);
    return status;
  }
  ComPtr<IClassFactory> factory;
  HRESULT status = getClassObject(clsid, IID_IClassFactory, factory.putVoid());
  if (FAILED(status)) return status;
  return factory->CreateInstance(nullptr, IID_IUnknown, object.putVoid());
}

}  // namespace vexil::framework
