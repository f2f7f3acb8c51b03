#pragma once
// A small test container for the player control: loads the DLL file as a host does, creates
// controls from it, records FSCommand events and calls automation members by name.
#include <windows.h>
#include <ocidl.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/win32/com_ptr.h"

namespace vexil::control::testing {

using platform::ComPtr;

// OLE for the current thread, for the length of a test.
class ComApartment {
 public:
  ComApartment() { OleInitialize(nullptr); }
  ~ComApartment() { OleUninitialize(); }
};

// The control DLL as a Windows path (the build hands us a Unix path, which Wine maps to Z:).
std::wstring playerDllPath();

// Loads the DLL file and creates controls through its class factory, without registration.
class ControlLibrary {
 public:
  ControlLibrary();
  ~ControlLibrary();
  bool loaded() const { return module_ != nullptr; }
  HMODULE module() const { return module_; }
  ComPtr<IClassFactory> factory() const;
  ComPtr<IDispatch> createControl() const;
  template <typename T>
  T entry(const char* name) const {
    return reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
  }

 private:
  HMODULE module_ = nullptr;
};

// Records every FSCommand fired at it.
class EventSink final : public IDispatch {
 public:
  std::vector<std::pair<std::wstring, std::wstring>> commands;
  std::vector<DISPID> otherEvents;

  STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
  STDMETHODIMP_(ULONG) Release() override { return --references_; }  // lives on the test's stack
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*, EXCEPINFO*, UINT*) override;
  ULONG references() const { return references_; }

 private:
  ULONG references_ = 0;
};

// Connects a sink to a control's FSCommand events for the lifetime of this object.
class EventConnection {
 public:
  EventConnection(IDispatch* control, IDispatch* sink);
  ~EventConnection();
  bool connected() const { return cookie_ != 0; }

 private:
  ComPtr<IConnectionPoint> point_;
  DWORD cookie_ = 0;
};

// Automation by name, as a script host would call it.
HRESULT invoke(IDispatch* control, const wchar_t* name, WORD flags, std::vector<VARIANT> arguments, VARIANT* result);
HRESULT callMethod(IDispatch* control, const wchar_t* name, std::vector<VARIANT> arguments = {},
                   VARIANT* result = nullptr);
HRESULT putProperty(IDispatch* control, const wchar_t* name, VARIANT value);
HRESULT getProperty(IDispatch* control, const wchar_t* name, VARIANT* result);

VARIANT bstrArg(const wchar_t* text);  // the caller's VARIANT owns a new BSTR
VARIANT intArg(LONG value);
VARIANT realArg(double value);
VARIANT boolArg(bool value);

// A generated movie written to a scratch file, removed at the end.
class MovieFile {
 public:
  explicit MovieFile(const std::vector<uint8_t>& bytes);
  ~MovieFile();
  const std::wstring& path() const { return path_; }

 private:
  std::wstring path_;
};

}  // namespace vexil::control::testing
