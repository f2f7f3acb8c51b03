#pragma once
// One IDispatch::Invoke as the member handlers see it: arguments by position (first as written
// is 0), coerced to the type the member wants, and typed result setters.
#include <windows.h>
#include <oleauto.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vexil::control {

class DispatchCall {
 public:
  DispatchCall(WORD flags, DISPPARAMS* parameters, VARIANT* result)
      : flags_(flags), parameters_(parameters), result_(result) {}

  bool isPut() const { return (flags_ & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0; }
  UINT argumentCount() const;

  std::optional<std::string> string(UINT index) const;
  std::optional<int32_t> int32(UINT index) const;
  std::optional<double> real(UINT index) const;
  std::optional<bool> boolean(UINT index) const;
  // The value assigned by a property put.
  std::optional<std::string> putString() const { return string(kPutValue); }
  std::optional<int32_t> putInt32() const { return int32(kPutValue); }
  std::optional<bool> putBoolean() const { return boolean(kPutValue); }

  HRESULT returnString(std::string_view text);
  HRESULT returnInt32(int32_t value);
  HRESULT returnReal(double value);
  HRESULT returnBoolean(bool value);

  // The error a handler returns when an argument is missing or cannot be converted.
  static constexpr HRESULT kBadArgument = DISP_E_TYPEMISMATCH;

 private:
  static constexpr UINT kPutValue = ~0u;
  bool coerce(UINT index, VARTYPE type, VARIANT& out) const;

  WORD flags_;
  DISPPARAMS* parameters_;
  VARIANT* result_;
};

}  // namespace vexil::control
