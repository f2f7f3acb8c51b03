// VARIANTs to script values: by their own type or an expected one; arrays, objects, enumerators.
#include "objects/com/win32/variant_conversion.h"

#include <cstring>
#include <vector>

#include "objects/com/automation_values.h"
#include "objects/com/win32/activex_class.h"
#include "objects/streams/stream_classes.h"
#include "script/runtime/array_elements.h"
#include "script/runtime/array_record.h"
#include "script/runtime/conversions.h"
#include "script/runtime/engine.h"
#include "script/runtime/script_string.h"
#include "script/runtime/stack_roots.h"

namespace vexil::objects::com {

namespace {

using script::Engine;
using script::Tag;
using script::Value;

void elementValue(Engine& engine, VARTYPE vt, void* element, Value* out) {
  VARIANT ref;
  VariantInit(&ref);
  ref.vt = VARTYPE(vt | VT_BYREF);
  ref.byref = element;
  fromVariant(engine, ref, VT_VARIANT, out);
}

bool isRawElementType(VARTYPE vt) {
  return vt == VT_I1 || vt == VT_UI1 || vt == VT_I2 || vt == VT_UI2 || vt == VT_I4 || vt == VT_UI4;
}

bool isPlainDataType(VARTYPE vt) {
  switch (vt) {
    case VT_BSTR:
    case VT_VARIANT:
    case VT_DISPATCH:
    case VT_UNKNOWN:
    case VT_RECORD: return false;
    default: return true;
  }
}

// Arrays of integers, and multi-dimensional arrays of plain data, become a StringStream of their
// bytes in memory order; other arrays become a script Array, element by element in memory order.
void arrayToValue(Engine& engine, SAFEARRAY* sa, Value* out) {
  out->setUndefined();
  if (!sa) return;
  UINT dims = SafeArrayGetDim(sa);
  VARTYPE vt = VT_EMPTY;
  if (dims == 0 || FAILED(SafeArrayGetVartype(sa, &vt))) return;
  uint64_t count = 1;
  for (UINT d = 0; d < dims; ++d) {
    count *= sa->rgsabound[d].cElements;
    if (count > kMaxElements) return;
  }
  uint64_t bytes = count * sa->cbElements;
  if (bytes > kMaxArrayBytes) return;
  void* data = nullptr;
  if (FAILED(SafeArrayAccessData(sa, &data))) return;
  if ((dims > 1 && isPlainDataType(vt)) || (dims == 1 && isRawElementType(vt))) {
    const auto* begin = static_cast<const uint8_t*>(data);
    newStringStream(engine, out, std::vector<uint8_t>(begin, begin + bytes));
  } else {
    script::StackRoots roots(engine);
    Value* result = roots.hold();
    script::ArrayRecord* array = script::newArray(engine);
    result->setArray(array);
    Value* element = roots.hold();
    for (uint64_t i = 0; i < count; ++i) {
      elementValue(engine, vt, static_cast<uint8_t*>(data) + i * sa->cbElements, element);
      script::storeElement(engine, *array, i, *element);
    }
    script::setArrayLength(engine, *array, count);
    *out = *result;
  }
  SafeArrayUnaccessData(sa);
}

// IUnknown: an automation object when it answers IDispatch, else an enumerator's pointer as an
// integer the bridge keeps alive and recognises when a script passes it back.
void unknownToValue(Engine& engine, IUnknown* object, Value* out) {
  out->setUndefined();
  if (!object) return;
  IDispatch* dispatch = nullptr;
  if (SUCCEEDED(object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch))) && dispatch) {
    wrapDispatch(engine, dispatch, out);
    dispatch->Release();
    return;
  }
  IEnumVARIANT* enumerator = nullptr;
  if (SUCCEEDED(object->QueryInterface(IID_IEnumVARIANT, reinterpret_cast<void**>(&enumerator))) && enumerator) {
    out->setInteger(handOutPointer(engine, enumerator));
    enumerator->Release();
  }
}

}  // namespace

void fromVariant(Engine& engine, const VARIANT& in, VARTYPE expected, Value* out) {
  out->setUndefined();
  if (expected == VT_EMPTY) return;
  VARIANT changed;
  VariantInit(&changed);
  const VARIANT* v = &in;
  if (expected != VT_VARIANT && expected != in.vt && !(expected & (VT_BYREF | VT_ARRAY)) &&
      SUCCEEDED(VariantChangeType(&changed, const_cast<VARIANT*>(&in), 0, expected))) {
    v = &changed;
  }
  const bool byref = v->vt & VT_BYREF;
  if (byref && !v->byref) return;
  switch (v->vt & ~VT_BYREF) {
    case VT_I1: out->setInteger(byref ? *v->pcVal : v->cVal); break;
    case VT_UI1: out->setInteger(byref ? *v->pbVal : v->bVal); break;
    case VT_I2: out->setInteger(byref ? *v->piVal : v->iVal); break;
    case VT_UI2: out->setInteger(byref ? *v->puiVal : v->uiVal); break;
    case VT_I4: out->setInteger(byref ? *v->plVal : v->lVal); break;
    case VT_UI4: out->setInteger(byref ? *v->pulVal : v->ulVal); break;
    case VT_INT: out->setInteger(byref ? *v->pintVal : v->intVal); break;
    case VT_UINT: out->setInteger(byref ? *v->puintVal : v->uintVal); break;
    case VT_I8: out->setInteger(byref ? *v->pllVal : v->llVal); break;
    case VT_UI8: {
      ULONGLONG u = byref ? *v->pullVal : v->ullVal;
      if (u <= ULONGLONG(INT64_MAX)) out->setInteger(int64_t(u));
      else out->setReal(double(u));
      break;
    }
    case VT_ERROR: out->setInteger(byref ? *v->pscode : v->scode); break;
    case VT_R4: *out = script::numberFromReal(byref ? *v->pfltVal : v->fltVal); break;
    case VT_R8: *out = script::numberFromReal(byref ? *v->pdblVal : v->dblVal); break;
    case VT_CY: {
      double d = 0;
      VarR8FromCy(byref ? *v->pcyVal : v->cyVal, &d);
      *out = script::numberFromReal(d);
      break;
    }
    case VT_DATE: *out = script::numberFromReal(timeValueOfAutomationDate(byref ? *v->pdate : v->date)); break;
    case VT_BSTR: {
      BSTR s = byref ? *v->pbstrVal : v->bstrVal;
      *out = script::makeString(engine, std::u16string_view(reinterpret_cast<const char16_t*>(s ? s : L""),
                                                             s ? SysStringLen(s) : 0));
      break;
    }
    case VT_BOOL: out->setBoolean((byref ? *v->pboolVal : v->boolVal) != 0); break;
    case VT_DISPATCH: {
      IDispatch* object = byref ? *v->ppdispVal : v->pdispVal;
      if (object) wrapDispatch(engine, object, out);
      break;
    }
    case VT_UNKNOWN: unknownToValue(engine, byref ? *v->ppunkVal : v->punkVal, out); break;
    case VT_VARIANT:
      if (byref) fromVariant(engine, *v->pvarVal, VT_VARIANT, out);
      break;
    default:
      if (v->vt & VT_ARRAY) arrayToValue(engine, byref ? *v->pparray : v->parray, out);
      break;
  }
  VariantClear(&changed);
}

}  // namespace vexil::objects::com
