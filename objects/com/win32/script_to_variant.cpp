// Script values to VARIANTs: by declared type, generically, and written back through references.
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
