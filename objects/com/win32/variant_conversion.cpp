#include "objects/com/win32/variant_conversion.h"

#include <cmath>
#include <cstring>
#include <optional>

#include "objects/com/automation_values.h"
#include "objects/com/win32/activex_class.h"
#include "objects/date/date_class.h"
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

// Arrays nested deeper than this (or holding themselves) convert as empty at that depth.
constexpr int kMaxNesting = 32;
// Larger arrays are not converted: no server call is worth a gigabyte of copies.
constexpr uint64_t kMaxElements = uint64_t(1) << 24;
constexpr uint64_t kMaxArrayBytes = uint64_t(1) << 28;

std::optional<double> numberOf(Engine& engine, const Value& value) {
  Value n;
  script::valueToNumber(engine, value, &n);
  if (n.tag == Tag::Integer) return double(n.integer());
  if (n.tag == Tag::Real) return n.real();
  return std::nullopt;
}

// An integer, or ToNumber truncated toward zero; nothing for NaN.
std::optional<int64_t> integerOf(Engine& engine, const Value& value) {
  if (value.tag == Tag::Integer) return value.integer();
  std::optional<double> d = numberOf(engine, value);
  if (!d || !std::isfinite(*d)) return std::nullopt;
  return script::realToInt64(*d);
}

BSTR newBstr(Engine& engine, const Value& value) {
  Value text;
  if (value.tag == Tag::String) text = value;
  else script::valueToString(engine, value, &text);
  const script::ScriptString& s = *text.string();
  return SysAllocStringLen(reinterpret_cast<const OLECHAR*>(s.chars), s.length);
}

std::optional<double> dateOf(const Value& value) {
  if (value.tag == Tag::Integer) return automationDate(double(value.integer()));
  if (value.tag == Tag::Real) return automationDate(value.real());
  if (std::optional<double> t = dateTimeValue(value)) return automationDate(*t);
  return std::nullopt;
}

VARIANT_BOOL booleanOf(Engine& engine, const Value& value) {
  if (value.tag == Tag::Integer) return value.integer() != 0 ? VARIANT_TRUE : VARIANT_FALSE;
  return script::valueToBoolean(engine, value) ? VARIANT_TRUE : VARIANT_FALSE;
}

void setInteger(VARIANT* out, int64_t v) {
  if (fitsInt32(v)) {
    out->vt = VT_I4;
    out->lVal = LONG(v);
  } else {
    out->vt = VT_R8;
    out->dblVal = double(v);
  }
}

void setDispatch(VARIANT* out, IDispatch* object) {
  out->vt = VT_DISPATCH;
  out->pdispVal = object;
  if (object) object->AddRef();  // the VARIANT's clearing releases its own reference
}

void toVariantAt(Engine& engine, const Value& value, VARIANT* out, int depth);

bool allocateArray(VARTYPE vt, uint64_t length, SAFEARRAY** out) {
  if (length > kMaxElements) return false;
  SAFEARRAYBOUND bound{ULONG(length), 0};
  *out = SafeArrayCreate(vt, 1, &bound);
  return *out != nullptr;
}

void arrayToVariant(Engine& engine, const Value& value, VARIANT* out, int depth) {
  script::ArrayRecord& array = *value.array();
  uint64_t length = array.length();
  const Value* first = script::findElement(array, 0);
  bool strings = first && first->tag == Tag::String;
  SAFEARRAY* sa = nullptr;
  if (!allocateArray(strings ? VT_BSTR : VT_VARIANT, length, &sa)) return;
  void* data = nullptr;
  SafeArrayAccessData(sa, &data);
  for (uint64_t i = 0; i < length; ++i) {
    const Value* element = script::findElement(array, i);
    if (!element) continue;  // a missing element: a null string, or an empty VARIANT
    Value copy = *element;
    if (strings) static_cast<BSTR*>(data)[i] = newBstr(engine, copy);
    else toVariantAt(engine, copy, static_cast<VARIANT*>(data) + i, depth + 1);
  }
  SafeArrayUnaccessData(sa);
  out->vt = VARTYPE((strings ? VT_BSTR : VT_VARIANT) | VT_ARRAY);
  out->parray = sa;
}

void bytesToVariant(const StringStream& stream, VARIANT* out) {
  SAFEARRAY* sa = nullptr;
  if (stream.size() > kMaxArrayBytes || !allocateArray(VT_UI1, stream.size(), &sa)) return;
  void* data = nullptr;
  SafeArrayAccessData(sa, &data);
  if (stream.size()) std::memcpy(data, stream.bytes().data(), stream.size());
  SafeArrayUnaccessData(sa);
  out->vt = VT_ARRAY | VT_UI1;
  out->parray = sa;
}

void toVariantAt(Engine& engine, const Value& value, VARIANT* out, int depth) {
  switch (value.tag) {
    case Tag::Undefined: out->vt = VT_NULL; return;
    case Tag::Integer: setInteger(out, value.integer()); return;
    case Tag::Real:
      out->vt = VT_R8;
      out->dblVal = value.real();
      return;
    case Tag::String:
      out->vt = VT_BSTR;
      out->bstrVal = newBstr(engine, value);
      return;
    // A boolean a server sees as VT_EMPTY would read as "missing"; VT_BOOL is what it means.
    case Tag::Boolean:
      out->vt = VT_BOOL;
      out->boolVal = value.boolean() ? VARIANT_TRUE : VARIANT_FALSE;
      return;
    case Tag::Array:
      if (depth < kMaxNesting) arrayToVariant(engine, value, out, depth);
      return;
    case Tag::Native:
      if (IDispatch* object = dispatchOf(value)) {
        setDispatch(out, object);
      } else if (std::optional<double> t = dateTimeValue(value)) {
        out->vt = VT_DATE;
        out->date = automationDate(*t);
      } else if (const StringStream* stream = stringStreamOf(value)) {
        bytesToVariant(*stream, out);
      }
      return;
    default: return;  // null, NaN, objects, functions, other host objects: empty
  }
}

// By-value conversions of the declared types that take a number.
bool toDeclaredNumber(Engine& engine, const Value& value, VARTYPE vt, VARIANT* out) {
  std::optional<int64_t> i = integerOf(engine, value);
  switch (vt) {
    case VT_I2:
      if (!i) return false;
      out->vt = VT_I2;
      out->iVal = SHORT(*i);
      return true;
    case VT_UI1:
      if (!i) return false;
      out->vt = VT_UI1;
      out->bVal = BYTE(*i);
      return true;
    case VT_I4:
      if (!i) return false;
      // Out of range: a double, which the server's own coercion reports as an overflow.
      setInteger(out, *i);
      return true;
    case VT_ERROR:
      // Status codes are often written as their unsigned 32-bit value.
      if (!i || *i < INT32_MIN || *i > int64_t(UINT32_MAX)) return false;
      out->vt = VT_ERROR;
      out->scode = SCODE(uint32_t(*i));
      return true;
    case VT_R4:
    case VT_R8: {
      std::optional<double> d = value.tag == Tag::Integer ? std::optional<double>(double(value.integer()))
                                                           : numberOf(engine, value);
      if (!d) return false;
      out->vt = vt;
      if (vt == VT_R4) out->fltVal = float(*d);
      else out->dblVal = *d;
      return true;
    }
    case VT_CY: {
      HRESULT hr;
      if (value.tag == Tag::Integer && fitsInt32(value.integer())) {
        hr = VarCyFromI4(LONG(value.integer()), &out->cyVal);
      } else {
        std::optional<double> d = numberOf(engine, value);
        if (!d) return false;
        hr = VarCyFromR8(*d, &out->cyVal);
      }
      if (FAILED(hr)) return false;
      out->vt = VT_CY;
      return true;
    }
    default: return false;
  }
}

// A reference to a cell of the declared type holding the converted value.
bool toReference(Engine& engine, Value* value, VARTYPE vt, ArgumentCells& cells, VARIANT* out) {
  const Value& v = *value;
  VARIANT* cell = nullptr;
  switch (vt) {
    case VT_I2:
    case VT_I4:
    case VT_ERROR:
    case VT_UI1:
      if (v.tag != Tag::Integer) return false;
      cell = cells.add(value);
      toDeclaredNumber(engine, v, vt, cell);
      if (cell->vt != vt) return false;  // out of range for a 32-bit cell
      break;
    case VT_R4:
    case VT_R8:
      if (!v.isNumber()) return false;
      cell = cells.add(value);
      toDeclaredNumber(engine, v, vt, cell);
      break;
    case VT_CY:
      if (v.tag != Tag::Integer && v.tag != Tag::Real) return false;
      cell = cells.add();
      if (!toDeclaredNumber(engine, v, vt, cell)) return false;
      break;
    case VT_DATE:
      cell = cells.add();
      cell->vt = VT_DATE;
      cell->date = dateOf(v).value_or(0);
      break;
    case VT_BSTR:
      cell = cells.add();
      cell->vt = VT_BSTR;
      cell->bstrVal = newBstr(engine, v);
      break;
    case VT_DISPATCH: {
      IDispatch* object = dispatchOf(v);
      if (!object) return false;
      cell = cells.add();
      setDispatch(cell, object);
      break;
    }
    case VT_UNKNOWN: {
      IUnknown* object = v.tag == Tag::Integer ? handedOutPointer(engine, v.integer()) : dispatchOf(v);
      if (!object) return false;
      cell = cells.add();
      cell->vt = VT_UNKNOWN;
      cell->punkVal = object;
      object->AddRef();
      break;
    }
    case VT_BOOL:
      if (v.tag != Tag::Boolean && v.tag != Tag::Integer) return false;
      cell = cells.add();
      cell->vt = VT_BOOL;
      cell->boolVal = booleanOf(engine, v);
      break;
    case VT_VARIANT:
      cell = cells.add();
      toVariant(engine, v, cell);
      out->vt = VT_BYREF | VT_VARIANT;
      out->pvarVal = cell;
      return true;
    default: return false;
  }
  out->vt = VARTYPE(VT_BYREF | vt);
  out->byref = &cell->iVal;  // every member of the value union starts at the same place
  return true;
}

bool toDeclared(Engine& engine, Value* value, VARTYPE declared, ArgumentCells& cells, VARIANT* out) {
  const VARTYPE vt = declared & ~VT_BYREF;
  if (declared & VT_BYREF) return toReference(engine, value, vt, cells, out);
  const Value& v = *value;
  switch (vt) {
    case VT_I2:
    case VT_I4:
    case VT_ERROR:
    case VT_UI1:
    case VT_R4:
    case VT_R8:
    case VT_CY: return toDeclaredNumber(engine, v, vt, out);
    case VT_DATE:
      out->vt = VT_DATE;
      out->date = dateOf(v).value_or(automationDate(0));
      return true;
    case VT_BSTR:
      out->vt = VT_BSTR;
      out->bstrVal = newBstr(engine, v);
      return true;
    case VT_DISPATCH:
      if (v.tag == Tag::Null) {  // "no object"
        setDispatch(out, nullptr);
        return true;
      }
      if (IDispatch* object = dispatchOf(v)) {
        setDispatch(out, object);
        return true;
      }
      return false;
    case VT_BOOL:
      out->vt = VT_BOOL;
      out->boolVal = booleanOf(engine, v);
      return true;
    case VT_UNKNOWN: {
      IUnknown* object = v.tag == Tag::Integer ? handedOutPointer(engine, v.integer()) : dispatchOf(v);
      if (!object) return false;
      out->vt = VT_UNKNOWN;
      out->punkVal = object;
      object->AddRef();
      return true;
    }
    default:
      toVariant(engine, v, out);
      return true;
  }
}

// One element of a server's array, seen as a by-reference VARIANT of the element type.
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

ArgumentCells::~ArgumentCells() {
  for (auto& cell : cells_) VariantClear(&cell->value);
}

VARIANT* ArgumentCells::add(Value* slot) {
  auto& cell = cells_.emplace_back(std::make_unique<Cell>());
  VariantInit(&cell->value);
  cell->slot = slot;
  return &cell->value;
}

void ArgumentCells::copyBack() {
  for (auto& entry : cells_) {
    const VARIANT& cell = entry->value;
    Value* slot = entry->slot;
    if (!slot) continue;
    switch (cell.vt) {
      case VT_I2: slot->setInteger(cell.iVal); break;
      case VT_I4: slot->setInteger(cell.lVal); break;
      case VT_ERROR: slot->setInteger(cell.scode); break;
      case VT_UI1: slot->setInteger(cell.bVal); break;
      case VT_R4: *slot = script::numberFromReal(cell.fltVal); break;
      case VT_R8: *slot = script::numberFromReal(cell.dblVal); break;
      default: break;
    }
  }
}

void setParameterNotFound(VARIANT* out) {
  VariantInit(out);
  out->vt = VT_ERROR;
  out->scode = DISP_E_PARAMNOTFOUND;
}

void toDeclaredVariant(Engine& engine, Value* value, VARTYPE declared, ArgumentCells& cells, VARIANT* out) {
  VariantInit(out);
  if (!value || !toDeclared(engine, value, declared, cells, out)) {
    VariantClear(out);
    setParameterNotFound(out);
  }
}

void emptyReference(VARTYPE declared, ArgumentCells& cells, VARIANT* out) {
  VariantInit(out);
  VARIANT* cell = cells.add();
  const VARTYPE vt = declared & ~VT_BYREF;
  if (vt == VT_VARIANT) {
    out->vt = VT_BYREF | VT_VARIANT;
    out->pvarVal = cell;
    return;
  }
  cell->vt = vt;  // a zero payload is a valid empty value of every type a reference can have
  out->vt = declared;
  out->byref = &cell->iVal;
}

void toVariant(Engine& engine, const Value& value, VARIANT* out) {
  VariantInit(out);
  toVariantAt(engine, value, out, 0);
}

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

void writeBack(Engine& engine, const Value& value, VARIANT& target) {
  if (!(target.vt & VT_BYREF) || !target.byref) return;
  const VARTYPE vt = target.vt & ~VT_BYREF;
  switch (vt) {
    case VT_I1:
    case VT_UI1:
    case VT_I2:
    case VT_I4:
    case VT_ERROR: {
      std::optional<int64_t> i = integerOf(engine, value);
      if (!i) return;
      if (vt == VT_I1) *target.pcVal = CHAR(*i);
      else if (vt == VT_UI1) *target.pbVal = BYTE(*i);
      else if (vt == VT_I2) *target.piVal = SHORT(*i);
      else *target.plVal = LONG(*i);
      return;
    }
    case VT_R4:
    case VT_R8:
    case VT_CY: {
      std::optional<double> d = numberOf(engine, value);
      if (!d) return;
      if (vt == VT_R4) *target.pfltVal = float(*d);
      else if (vt == VT_R8) *target.pdblVal = *d;
      else VarCyFromR8(*d, target.pcyVal);
      return;
    }
    case VT_DATE:
      if (std::optional<double> t = dateTimeValue(value)) *target.pdate = automationDate(*t);
      return;
    case VT_BSTR:
      SysFreeString(*target.pbstrVal);
      *target.pbstrVal = newBstr(engine, value);
      return;
    case VT_BOOL: *target.pboolVal = booleanOf(engine, value); return;
    case VT_VARIANT:
      VariantClear(target.pvarVal);
      toVariant(engine, value, target.pvarVal);
      return;
    default: return;
  }
}

}  // namespace vexil::objects::com
