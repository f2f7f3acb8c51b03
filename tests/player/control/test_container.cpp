#include "tests/player/control/test_container.h"

#include <algorithm>

#include "platform/environment.h"
#include "platform/file_system.h"
#include "platform/text_encoding.h"
#include "player/control/control_ids.h"

namespace vexil::control::testing {

std::wstring playerDllPath() {
  std::string path = VEXIL_PLAYER_DLL;
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
  std::replace(path.begin(), path.end(), '/', '\\');
  std::u16string wide = platform::ansiToUtf16(path);
  return {wide.begin(), wide.end()};
}

ControlLibrary::ControlLibrary() : module_(LoadLibraryW(playerDllPath().c_str())) {}

ControlLibrary::~ControlLibrary() {
  if (module_) FreeLibrary(module_);
}

ComPtr<IClassFactory> ControlLibrary::factory() const {
  using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
  ComPtr<IClassFactory> factory;
  if (auto get = entry<GetClassObject>("DllGetClassObject")) get(kControlClsid, IID_IClassFactory, factory.putVoid());
  return factory;
}

ComPtr<IDispatch> ControlLibrary::createControl() const {
  ComPtr<IDispatch> control;
  if (ComPtr<IClassFactory> classFactory = factory()) {
    classFactory->CreateInstance(nullptr, IID_IDispatch, control.putVoid());
  }
  return control;
}

STDMETHODIMP EventSink::QueryInterface(REFIID iid, void** object) {
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, kEventsIid)) {
    *object = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP EventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*, EXCEPINFO*, UINT*) {
  if (id != kDispidFsCommand || !parameters || parameters->cArgs != 2 || parameters->rgvarg[0].vt != VT_BSTR ||
      parameters->rgvarg[1].vt != VT_BSTR) {
    otherEvents.push_back(id);
    return S_OK;
  }
  commands.emplace_back(parameters->rgvarg[1].bstrVal, parameters->rgvarg[0].bstrVal);
  return S_OK;
}

EventConnection::EventConnection(IDispatch* control, IDispatch* sink) {
  ComPtr<IConnectionPointContainer> container;
  if (FAILED(control->QueryInterface(IID_IConnectionPointContainer, container.putVoid()))) return;
  if (FAILED(container->FindConnectionPoint(kEventsIid, point_.put()))) return;
  point_->Advise(sink, &cookie_);
}

EventConnection::~EventConnection() {
  if (point_ && cookie_) point_->Unadvise(cookie_);
}

HRESULT invoke(IDispatch* control, const wchar_t* name, WORD flags, std::vector<VARIANT> arguments, VARIANT* result) {
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  HRESULT status = control->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (SUCCEEDED(status)) {
    std::reverse(arguments.begin(), arguments.end());  // automation passes the last argument first
    DISPID putId = DISPID_PROPERTYPUT;
    bool put = (flags & DISPATCH_PROPERTYPUT) != 0;
    DISPPARAMS parameters{arguments.data(), put ? &putId : nullptr, static_cast<UINT>(arguments.size()),
                          put ? 1u : 0u};
    status = control->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters, result, nullptr, nullptr);
  }
  for (VARIANT& argument : arguments) VariantClear(&argument);
  return status;
}

HRESULT callMethod(IDispatch* control, const wchar_t* name, std::vector<VARIANT> arguments, VARIANT* result) {
  VARIANT ignored;
  VariantInit(&ignored);
  HRESULT status = invoke(control, name, DISPATCH_METHOD, std::move(arguments), result ? result : &ignored);
  VariantClear(&ignored);
  return status;
}

HRESULT putProperty(IDispatch* control, const wchar_t* name, VARIANT value) {
  return invoke(control, name, DISPATCH_PROPERTYPUT, {value}, nullptr);
}

HRESULT getProperty(IDispatch* control, const wchar_t* name, VARIANT* result) {
  return invoke(control, name, DISPATCH_PROPERTYGET, {}, result);
}

VARIANT bstrArg(const wchar_t* text) {
  VARIANT value;
  VariantInit(&value);
  value.vt = VT_BSTR;
  value.bstrVal = SysAllocString(text);
  return value;
}

VARIANT intArg(LONG number) {
  VARIANT value;
  VariantInit(&value);
  value.vt = VT_I4;
  value.lVal = number;
  return value;
}

VARIANT realArg(double number) {
  VARIANT value;
  VariantInit(&value);
  value.vt = VT_R8;
  value.dblVal = number;
  return value;
}

VARIANT boolArg(bool flag) {
  VARIANT value;
  VariantInit(&value);
  value.vt = VT_BOOL;
  value.boolVal = flag ? VARIANT_TRUE : VARIANT_FALSE;
  return value;
}

MovieFile::MovieFile(const std::vector<uint8_t>& bytes) {
  std::string directory = platform::environmentVariable("TEMP").value_or(platform::windowsDirectory());
  std::string path = directory + "\\" + platform::newGuidText() + ".swf";
  platform::writeWholeFile(path, bytes.data(), bytes.size());
  std::u16string wide = platform::ansiToUtf16(path);
  path_.assign(wide.begin(), wide.end());
}

MovieFile::~MovieFile() {
  std::u16string wide(path_.begin(), path_.end());
  platform::deleteFile(platform::utf16ToAnsi(wide));
}

}  // namespace vexil::control::testing
