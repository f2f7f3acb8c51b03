#include "player/control/dispatch_call.h"

#include "player/control/bstr.h"

namespace vexil::control {

UINT DispatchCall::argumentCount() const {
  if (!parameters_) return 0;
  return parameters_->cArgs - parameters_->cNamedArgs;
}

bool DispatchCall::coerce(UINT index, VARTYPE type, VARIANT& out) const {
  if (!parameters_) return false;
  VARIANTARG* source = nullptr;
  if (index == kPutValue) {
    // The assigned value is the named argument DISPID_PROPERTYPUT, always first in the array.
    if (!isPut() || parameters_->cArgs == 0) return false;
    source = &parameters_->rgvarg[0];
  } else {
    if (index >= argumentCount()) return false;
    source = &parameters_->rgvarg[parameters_->cArgs - 1 - index];  // stored last to first
  }
  VariantInit(&out);
  return SUCCEEDED(VariantChangeType(&out, source, 0, type));
}

std::optional<std::string> DispatchCall::string(UINT index) const {
  VARIANT value;
  if (!coerce(index, VT_BSTR, value)) return std::nullopt;
  std::string text = bstrToUtf8(value.bstrVal);
  VariantClear(&value);
  return text;
}

std::optional<int32_t> DispatchCall::int32(UINT index) const {
  VARIANT value;
  if (!coerce(index, VT_I4, value)) return std::nullopt;
  return value.lVal;
}

std::optional<double> DispatchCall::real(UINT index) const {
  VARIANT value;
  if (!coerce(index, VT_R8, value)) return std::nullopt;
  return value.dblVal;
}

std::optional<bool> DispatchCall::boolean(UINT index) const {
  VARIANT value;
  if (!coerce(index, VT_BOOL, value)) return std::nullopt;
  return value.boolVal != VARIANT_FALSE;
}

HRESULT DispatchCall::returnString(std::string_view text) {
  if (result_) {
    VariantInit(result_);
    result_->vt = VT_BSTR;
    result_->bstrVal = utf8ToBstr(text);
  }
  return S_OK;
}

HRESULT DispatchCall::returnInt32(int32_t value) {
  if (result_) {
    VariantInit(result_);
    result_->vt = VT_I4;
    result_->lVal = value;
  }
  return S_OK;
}

HRESULT DispatchCall::returnReal(double value) {
  if (result_) {
    VariantInit(result_);
    result_->vt = VT_R8;
    result_->dblVal = value;
  }
  return S_OK;
}

HRESULT DispatchCall::returnBoolean(bool value) {
  if (result_) {
    VariantInit(result_);
    result_->vt = VT_BOOL;
    result_->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  }
  return S_OK;
}

}  // namespace vexil::control
