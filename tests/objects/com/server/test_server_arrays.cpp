// Members that answer safe arrays, so a client's reading of element types, bounds and dimension
// order can be checked.
#include <string>
#include <utility>

#include "tests/objects/com/server/bstr_text.h"
#include "tests/objects/com/server/test_server_object.h"

namespace vexil::test_automation {
namespace {

constexpr LONG kOffsetLowerBound = 5;
constexpr LONG kLargestByteArray = 1 << 24;  // more is a client's mistake, not a test
constexpr ULONG kOffsetCount = 3;

// Owns a safe array until it is handed to the caller.
class OwnedArray {
 public:
  explicit OwnedArray(SAFEARRAY* array) : array_(array) {}
  OwnedArray(const OwnedArray&) = delete;
  OwnedArray& operator=(const OwnedArray&) = delete;
  ~OwnedArray() {
    if (array_) SafeArrayDestroy(array_);
  }
  SAFEARRAY* get() const { return array_; }
  SAFEARRAY* release() { return std::exchange(array_, nullptr); }

 private:
  SAFEARRAY* array_;
};

HRESULT returnArray(OwnedArray& array, SAFEARRAY** out) {
  *out = array.release();
  return S_OK;
}

HRESULT returnArrayVariant(OwnedArray& array, VARTYPE elementType, VARIANT* out) {
  VariantInit(out);
  out->vt = VT_ARRAY | elementType;
  out->parray = array.release();
  return S_OK;
}

// A one-dimensional byte array whose element at index i holds i mod 256.
HRESULT returnBytes(LONG lowerBound, ULONG count, SAFEARRAY** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  OwnedArray array(SafeArrayCreateVector(VT_UI1, lowerBound, count));
  if (!array.get()) return E_OUTOFMEMORY;
  BYTE* data = nullptr;
  HRESULT result = SafeArrayAccessData(array.get(), reinterpret_cast<void**>(&data));
  if (FAILED(result)) return result;
  for (ULONG i = 0; i < count; ++i) data[i] = static_cast<BYTE>(lowerBound + i);
  SafeArrayUnaccessData(array.get());
  return returnArray(array, out);
}

// Puts a copy of each text into a BSTR array at the given indices.
HRESULT putText(SAFEARRAY* array, LONG* indices, std::wstring_view text) {
  BSTR copy = newBstr(text);
  if (!copy) return E_OUTOFMEMORY;
  HRESULT result = SafeArrayPutElement(array, indices, copy);  // the array keeps a copy of its own
  SysFreeString(copy);
  return result;
}

}  // namespace

STDMETHODIMP TestServerObject::Bytes(LONG length, SAFEARRAY** bytes) {
  if (length < 0 || length > kLargestByteArray) return E_INVALIDARG;
  return returnBytes(0, static_cast<ULONG>(length), bytes);
}

STDMETHODIMP TestServerObject::EmptyBytes(SAFEARRAY** bytes) { return returnBytes(0, 0, bytes); }

// Three bytes at indices 5, 6 and 7, each holding its index.
STDMETHODIMP TestServerObject::OffsetBytes(SAFEARRAY** bytes) {
  return returnBytes(kOffsetLowerBound, kOffsetCount, bytes);
}

STDMETHODIMP TestServerObject::Strings(SAFEARRAY** strings) {
  if (!strings) return E_POINTER;
  *strings = nullptr;
  const wchar_t* const texts[] = {L"one", L"two", L"three"};
  OwnedArray array(SafeArrayCreateVector(VT_BSTR, 0, 3));
  if (!array.get()) return E_OUTOFMEMORY;
  for (LONG i = 0; i < 3; ++i) {
    HRESULT result = putText(array.get(), &i, texts[i]);
    if (FAILED(result)) return result;
  }
  return returnArray(array, strings);
}

// {1, "two", 3.5, true}
STDMETHODIMP TestServerObject::Variants(SAFEARRAY** variants) {
  if (!variants) return E_POINTER;
  *variants = nullptr;
  OwnedArray array(SafeArrayCreateVector(VT_VARIANT, 0, 4));
  if (!array.get()) return E_OUTOFMEMORY;
  VARIANT* data = nullptr;
  HRESULT result = SafeArrayAccessData(array.get(), reinterpret_cast<void**>(&data));
  if (FAILED(result)) return result;
  data[0].vt = VT_I4;
  data[0].lVal = 1;
  data[1].vt = VT_BSTR;
  data[1].bstrVal = newBstr(L"two");
  data[2].vt = VT_R8;
  data[2].dblVal = 3.5;
  data[3].vt = VT_BOOL;
  data[3].boolVal = VARIANT_TRUE;
  SafeArrayUnaccessData(array.get());
  if (!data[1].bstrVal) return E_OUTOFMEMORY;
  return returnArray(array, variants);
}

// Two rows by three columns of VT_I4 (bounds 0..1 and 0..2); the first dimension varies fastest
// in memory, which holds 1 to 6 in order, so element (i, j) is 1 + i + 2 * j.
STDMETHODIMP TestServerObject::Matrix(VARIANT* matrix) {
  if (!matrix) return E_POINTER;
  VariantInit(matrix);
  SAFEARRAYBOUND bounds[] = {{2, 0}, {3, 0}};
  OwnedArray array(SafeArrayCreate(VT_I4, 2, bounds));
  if (!array.get()) return E_OUTOFMEMORY;
  LONG* data = nullptr;
  HRESULT result = SafeArrayAccessData(array.get(), reinterpret_cast<void**>(&data));
  if (FAILED(result)) return result;
  for (LONG i = 0; i < 6; ++i) data[i] = i + 1;
  SafeArrayUnaccessData(array.get());
  return returnArrayVariant(array, VT_I4, matrix);
}

// Two by two BSTRs; element (i, j) holds the text "i,j", so memory order reads
// "0,0", "1,0", "0,1", "1,1".
STDMETHODIMP TestServerObject::StringMatrix(VARIANT* matrix) {
  if (!matrix) return E_POINTER;
  VariantInit(matrix);
  SAFEARRAYBOUND bounds[] = {{2, 0}, {2, 0}};
  OwnedArray array(SafeArrayCreate(VT_BSTR, 2, bounds));
  if (!array.get()) return E_OUTOFMEMORY;
  for (LONG j = 0; j < 2; ++j) {
    for (LONG i = 0; i < 2; ++i) {
      LONG indices[] = {i, j};
      HRESULT result = putText(array.get(), indices, std::to_wstring(i) + L"," + std::to_wstring(j));
      if (FAILED(result)) return result;
    }
  }
  return returnArrayVariant(array, VT_BSTR, matrix);
}

}  // namespace vexil::test_automation
