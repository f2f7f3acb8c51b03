#pragma once
// The automation test server (coclass TestServer). Its members are grouped by what they exercise,
// one source file per group: takers (by value), references, arrays, the collection, properties,
// errors and events; this class's own file holds the COM plumbing and the Invoke front that records
// each call's arguments before the type library dispatches it.
#include <windows.h>
#include <ocidl.h>

#include <string>
#include <vector>

#include "platform/win32/connection_point.h"
#include "platform/win32/dll_module.h"
#include "tests/objects/com/server/test_server.h"
#include "tests/objects/com/server/typed_dispatch.h"

namespace vexil::test_automation {

class TestServerObject final : public TypedDispatch<ITestServer>,
                               public IConnectionPointContainer,
                               public IProvideClassInfo2,
                               public ISupportErrorInfo {
 public:
  static constexpr LONG kItemCount = 3;

  static HRESULT create(REFIID iid, void** object);

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
  STDMETHODIMP_(ULONG) Release() override;
  // IDispatch: records, then lets the type library call the member.
  STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* exception, UINT* badArgument) override;
  // IConnectionPointContainer
  STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** points) override;
  STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;
  // IProvideClassInfo2
  STDMETHODIMP GetClassInfo(ITypeInfo** info) override;
  STDMETHODIMP GetGUID(DWORD kind, GUID* guid) override;
  // ISupportErrorInfo
  STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override;

  // ITestServer, in the order of the IDL.
  STDMETHODIMP get_LastArguments(BSTR* text) override;

  STDMETHODIMP TakeShort(short value, short* same) override;
  STDMETHODIMP TakeLong(LONG value, LONG* same) override;
  STDMETHODIMP TakeError(SCODE value, SCODE* same) override;
  STDMETHODIMP TakeFloat(float value, float* same) override;
  STDMETHODIMP TakeDouble(double value, double* same) override;
  STDMETHODIMP TakeCurrency(CURRENCY value, CURRENCY* same) override;
  STDMETHODIMP TakeDate(DATE value, DATE* same) override;
  STDMETHODIMP TakeString(BSTR value, BSTR* same) override;
  STDMETHODIMP TakeObject(IDispatch* value, IDispatch** same) override;
  STDMETHODIMP TakeBool(VARIANT_BOOL value, VARIANT_BOOL* same) override;
  STDMETHODIMP TakeUnknown(IUnknown* value, LONG* present) override;
  STDMETHODIMP TakeByte(unsigned char value, unsigned char* same) override;
  STDMETHODIMP TakeVariant(VARIANT value, VARIANT* copy) override;
  STDMETHODIMP TakeInt(int value, int* same) override;
  STDMETHODIMP TakeUnsigned(ULONG value, ULONG* same) override;
  STDMETHODIMP TakeAlias(TestCountAlias value, TestCountAlias* same) override;

  STDMETHODIMP RefShort(short* value) override;
  STDMETHODIMP RefLong(LONG* value) override;
  STDMETHODIMP RefError(SCODE* value) override;
  STDMETHODIMP RefFloat(float* value) override;
  STDMETHODIMP RefDouble(double* value) override;
  STDMETHODIMP RefCurrency(CURRENCY* value) override;
  STDMETHODIMP RefDate(DATE* value) override;
  STDMETHODIMP RefString(BSTR* value) override;
  STDMETHODIMP RefObject(IDispatch** value) override;
  STDMETHODIMP RefBool(VARIANT_BOOL* value) override;
  STDMETHODIMP RefUnknown(IUnknown** value) override;
  STDMETHODIMP RefByte(unsigned char* value) override;
  STDMETHODIMP RefVariant(VARIANT* value) override;

  STDMETHODIMP Three(VARIANT a, VARIANT b, VARIANT c, LONG* supplied) override;
  STDMETHODIMP Split(BSTR text, BSTR* head, LONG* length) override;

  STDMETHODIMP Bytes(LONG length, SAFEARRAY** bytes) override;
  STDMETHODIMP Strings(SAFEARRAY** strings) override;
  STDMETHODIMP Variants(SAFEARRAY** variants) override;
  STDMETHODIMP Matrix(VARIANT* matrix) override;
  STDMETHODIMP StringMatrix(VARIANT* matrix) override;
  STDMETHODIMP EmptyBytes(SAFEARRAY** bytes) override;
  STDMETHODIMP OffsetBytes(SAFEARRAY** bytes) override;

  STDMETHODIMP get__NewEnum(IUnknown** enumerator) override;
  STDMETHODIMP get_Count(LONG* size) override;
  STDMETHODIMP Item(LONG index, VARIANT* item) override;
  STDMETHODIMP get_Items(IDispatch** collection) override;

  STDMETHODIMP get_Name(BSTR* name) override;
  STDMETHODIMP put_Name(BSTR name) override;
  STDMETHODIMP get_Number(LONG* number) override;
  STDMETHODIMP put_Number(LONG number) override;

  STDMETHODIMP Fail(LONG hr) override;
  STDMETHODIMP Raise(BSTR description) override;

  STDMETHODIMP FireTick(LONG n, LONG* answer) override;
  STDMETHODIMP FireNamed(BSTR text, BSTR* reply) override;
  STDMETHODIMP FireClick() override;
  STDMETHODIMP FireAll(VARIANT v) override;
  STDMETHODIMP get_Sinks(LONG* connected) override;

 private:
  TestServerObject();
  HRESULT initialize();

  // Property changes: every IPropertyNotifySink sink may refuse an edit before it happens, and
  // hears of it after.
  bool editAllowed(DISPID id);
  void notifyChanged(DISPID id);
  // Calls one event on every connected event sink; `arguments` are in DISPPARAMS order, last
  // parameter first.
  void fireEvent(DISPID id, std::vector<VARIANTARG>& arguments);

  platform::ModuleReference moduleReference_;
  LONG references_ = 1;
  platform::ConnectionPoint events_;
  platform::ConnectionPoint propertyNotifications_;
  std::vector<ComPtr<IDispatch>> items_;
  std::string lastArguments_;
  std::wstring name_;
  LONG number_ = 0;
};

}  // namespace vexil::test_automation
