#pragma once
// BSTR ownership and the conversions between automation strings and the player's UTF-8 text.
#include <windows.h>
#include <oleauto.h>

#include <string>
#include <string_view>
#include <utility>

namespace vexil::control {

class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(std::wstring_view text) : value_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  Bstr(Bstr&& other) noexcept : value_(std::exchange(other.value_, nullptr)) {}
  ~Bstr() { SysFreeString(value_); }

  BSTR get() const { return value_; }
  BSTR detach() { return std::exchange(value_, nullptr); }

 private:
  BSTR value_ = nullptr;
};

std::string bstrToUtf8(BSTR text);
std::wstring utf8ToWide(std::string_view text);
BSTR utf8ToBstr(std::string_view text);  // caller owns the result

}  // namespace vexil::control
