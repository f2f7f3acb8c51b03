#pragma once
// BSTRs at the server's edges. A null BSTR is the empty text, as automation defines it, so every
// member reads its strings through bstrView and never dereferences one unchecked.
#include <windows.h>
#include <oleauto.h>

#include <string_view>

namespace vexil::test_automation {

inline std::wstring_view bstrView(BSTR text) {
  return text ? std::wstring_view(text, SysStringLen(text)) : std::wstring_view();
}

// A new BSTR the caller owns; null only when memory runs out.
inline BSTR newBstr(std::wstring_view text) { return SysAllocStringLen(text.data(), static_cast<UINT>(text.size())); }

// Hands a copy of text to an [out] BSTR parameter.
inline HRESULT returnText(std::wstring_view text, BSTR* out) {
  if (!out) return E_POINTER;
  *out = newBstr(text);
  return *out ? S_OK : E_OUTOFMEMORY;
}

}  // namespace vexil::test_automation
