// Members that take one automation type by value and answer what arrived, so a client's
// conversion there and back can be checked; and the two that exercise optional and [out]
// parameters.
#include "tests/objects/com/server/bstr_text.h"
#include "tests/objects/com/server/test_server_object.h"

namespace vexil::test_automation {
namespace {

template <typename T>
HRESULT answer(T value, T* same) {
  if (!same) return E_POINTER;
  *same = value;
  return S_OK;
}

// An optional argument the client left out arrives as this.
bool isMissing(const VARIANT& argument) { return argument.vt == VT_ERROR && argument.scode == DISP_E_PARAMNOTFOUND; }

}  // namespace

STDMETHODIMP TestServerObject::TakeShort(short value, short* same) { return answer(value, same); }
STDMETHODIMP TestServerObject::TakeLong(LONG value, LONG* same) { return answer(value, same); }
STDMETHODIMP TestServerObject::TakeError(SCODE value, SCODE* same) { return answer(value, same); }
STDMETHODIMP TestServerObject::TakeFloat(float value, float* same) { return answer(value, same); }
STDMETHODIMP TestServerObject::TakeDouble(double value, double* same) { return answer(value, same); }
STDMETHODIMP TestServerObject::TakeCurrency(CURRENCY value, CURRENCY* same) { return answer(value, same); }
STDMETHODIMP TestServerObject::TakeDate(DATE value, DATE* same) { return answer(value, same); }
STDMETHODIMP TestServerObject::TakeBool(VARIANT_BOOL value, VARIANT_BOOL* same) { return answer(value, same); }
STDMETHODIMP TestServerObject::TakeByte(unsigned char value, unsigned char* same) { return answer(value, same); }
STDMETHODIMP TestServerObject::TakeInt(int value, int* same) { return answer(value, same); }
STDMETHODIMP TestServerObject::TakeUnsigned(ULONG value, ULONG* same) { return answer(value, same); }
STDMETHODIMP TestServerObject::TakeAlias(TestCountAlias value, TestCountAlias* same) { return answer(value, same); }

STDMETHODIMP TestServerObject::TakeString(BSTR value, BSTR* same) { return returnText(bstrView(value), same); }

STDMETHODIMP TestServerObject::TakeObject(IDispatch* value, IDispatch** same) {
  if (!same) return E_POINTER;
  *same = value;
  if (value) value->AddRef();
  return S_OK;
}

STDMETHODIMP TestServerObject::TakeUnknown(IUnknown* value, LONG* present) {
  return answer<LONG>(value ? 1 : 0, present);
}

// A by-reference value inside the variant is followed, so the copy never points into the caller.
STDMETHODIMP TestServerObject::TakeVariant(VARIANT value, VARIANT* copy) {
  if (!copy) return E_POINTER;
  VariantInit(copy);
  return VariantCopyInd(copy, &value);
}

STDMETHODIMP TestServerObject::Three(VARIANT a, VARIANT b, VARIANT c, LONG* supplied) {
  return answer<LONG>(!isMissing(a) + !isMissing(b) + !isMissing(c), supplied);
}

// head is the text up to its first space (all of it when there is none); the result is the
// text's length.
STDMETHODIMP TestServerObject::Split(BSTR text, BSTR* head, LONG* length) {
  if (!head || !length) return E_POINTER;
  std::wstring_view whole = bstrView(text);
  *length = static_cast<LONG>(whole.size());
  return returnText(whole.substr(0, whole.find(L' ')), head);
}

}  // namespace vexil::test_automation
