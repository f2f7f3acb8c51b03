// Members that take one automation type by reference and change the caller's variable, so a
// client's write-back of [in, out] arguments can be checked. Integers wrap rather than overflow.
#include <string>
#include <type_traits>

#include "tests/objects/com/server/bstr_text.h"
#include "tests/objects/com/server/test_server_object.h"

namespace vexil::test_automation {
namespace {

constexpr LONGLONG kOneCurrencyUnit = 10000;  // currency is scaled by 10,000
constexpr const wchar_t* kChangedText = L"changed";

// Applies `change` to the caller's variable.
template <typename T, typename Change>
HRESULT changeInPlace(T* value, Change change) {
  if (!value) return E_POINTER;
  *value = change(*value);
  return S_OK;
}

template <typename T>
T plusOne(T value) {
  using Unsigned = std::make_unsigned_t<T>;
  return static_cast<T>(static_cast<Unsigned>(static_cast<Unsigned>(value) + 1u));
}

HRESULT appendExclamation(BSTR* value) {
  if (!value) return E_POINTER;
  BSTR changed = newBstr(std::wstring(bstrView(*value)) + L"!");
  if (!changed) return E_OUTOFMEMORY;
  SysFreeString(*value);
  *value = changed;
  return S_OK;
}

// Puts `replacement` where the caller's interface pointer was, releasing what was there.
template <typename T>
HRESULT replaceObject(T** value, T* replacement) {
  if (!value) return E_POINTER;
  replacement->AddRef();
  if (*value) (*value)->Release();
  *value = replacement;
  return S_OK;
}

}  // namespace

STDMETHODIMP TestServerObject::RefShort(short* value) { return changeInPlace(value, plusOne<short>); }
STDMETHODIMP TestServerObject::RefLong(LONG* value) { return changeInPlace(value, plusOne<LONG>); }
STDMETHODIMP TestServerObject::RefError(SCODE* value) { return changeInPlace(value, plusOne<SCODE>); }
STDMETHODIMP TestServerObject::RefByte(unsigned char* value) { return changeInPlace(value, plusOne<unsigned char>); }
STDMETHODIMP TestServerObject::RefFloat(float* value) {
  return changeInPlace(value, [](float v) { return v * 2; });
}
STDMETHODIMP TestServerObject::RefDouble(double* value) {
  return changeInPlace(value, [](double v) { return v * 2; });
}
STDMETHODIMP TestServerObject::RefDate(DATE* value) {
  return changeInPlace(value, [](DATE v) { return v + 1; });  // one day later
}
STDMETHODIMP TestServerObject::RefCurrency(CURRENCY* value) {
  return changeInPlace(value, [](CURRENCY v) {
    v.int64 = static_cast<LONGLONG>(static_cast<ULONGLONG>(v.int64) + kOneCurrencyUnit);
    return v;
  });
}
STDMETHODIMP TestServerObject::RefBool(VARIANT_BOOL* value) {
  return changeInPlace(value, [](VARIANT_BOOL v) { return v ? VARIANT_FALSE : VARIANT_TRUE; });
}

STDMETHODIMP TestServerObject::RefString(BSTR* value) { return appendExclamation(value); }

STDMETHODIMP TestServerObject::RefObject(IDispatch** value) {
  return replaceObject<IDispatch>(value, static_cast<ITestServer*>(this));
}

STDMETHODIMP TestServerObject::RefUnknown(IUnknown** value) {
  return replaceObject<IUnknown>(value, static_cast<ITestServer*>(this));
}

// A long gets one more, a string an exclamation mark; any other value becomes the string
// "changed". The variant may itself refer to the caller's variable (a client passing a typed
// reference where the member takes VARIANT*): then a long or string variable changes as above, and
// a variable of another type, which cannot take a string, is a type mismatch.
STDMETHODIMP TestServerObject::RefVariant(VARIANT* value) {
  if (value && value->vt == (VT_VARIANT | VT_BYREF)) value = value->pvarVal;
  if (!value) return E_POINTER;
  switch (value->vt) {
    case VT_I4: return changeInPlace(&value->lVal, plusOne<LONG>);
    case VT_I4 | VT_BYREF: return changeInPlace(value->plVal, plusOne<LONG>);
    case VT_BSTR: return appendExclamation(&value->bstrVal);
    case VT_BSTR | VT_BYREF: return appendExclamation(value->pbstrVal);
  }
  if (value->vt & VT_BYREF) return DISP_E_TYPEMISMATCH;
  BSTR changed = newBstr(kChangedText);
  if (!changed) return E_OUTOFMEMORY;
  VariantClear(value);
  value->vt = VT_BSTR;
  value->bstrVal = changed;
  return S_OK;
}

}  // namespace vexil::test_automation
