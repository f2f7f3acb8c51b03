#include "host/hostobjects/player_automation.h"

#include <map>

#include "host/hostobjects/host_context.h"
#include "host/mainwnd/main_wnd.h"
#include "platform/win32/wide_text.h"

namespace vexil::hostobjects {

namespace {

// Member ids by name, per control: asked once, as every late-binding client does.
std::optional<DISPID> memberId(IDispatch* player, const wchar_t* name) {
  static IDispatch* cachedFor = nullptr;
  static std::map<std::wstring, DISPID> ids;
  if (cachedFor != player) {
    ids.clear();
    cachedFor = player;
  }
  auto found = ids.find(name);
  if (found != ids.end()) return found->second;
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  if (FAILED(player->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) return std::nullopt;
  ids.emplace(name, id);
  return id;
}

BSTR newBstr(std::u16string_view text) {
  return SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), UINT(text.size()));
}

}  // namespace

IDispatch* currentPlayer() {
  mainwnd::CMainWnd* window = hostContext().mainWnd;
  return window ? window->player().dispatch() : nullptr;
}

HWND currentPlayerWindow() {
  mainwnd::CMainWnd* window = hostContext().mainWnd;
  if (!window || !window->player().dispatch()) return nullptr;
  HWND handle = window->player().handle();
  return handle && IsWindow(handle) ? handle : nullptr;
}

HRESULT invokePlayer(const wchar_t* name, WORD kind, VARIANT* arguments, UINT count, VARIANT* result) {
  IDispatch* player = currentPlayer();
  if (!player) return DISP_E_MEMBERNOTFOUND;
  std::optional<DISPID> id = memberId(player, name);
  if (!id) return DISP_E_MEMBERNOTFOUND;
  DISPID putId = DISPID_PROPERTYPUT;
  bool put = kind == DISPATCH_PROPERTYPUT;
  DISPPARAMS params{arguments, put ? &putId : nullptr, count, put ? 1u : 0u};
  return player->Invoke(*id, IID_NULL, LOCALE_USER_DEFAULT, kind, &params, result, nullptr, nullptr);
}

std::optional<std::u16string> getMovieVariable(std::u16string_view name) {
  VARIANT argument;
  argument.vt = VT_BSTR;
  argument.bstrVal = newBstr(name);
  VARIANT result;
  VariantInit(&result);
  HRESULT hr = invokePlayer(L"GetVariable", DISPATCH_METHOD, &argument, 1, &result);
  VariantClear(&argument);
  std::optional<std::u16string> text;
  if (SUCCEEDED(hr) && result.vt == VT_BSTR) {
    text = result.bstrVal ? std::u16string(reinterpret_cast<const char16_t*>(result.bstrVal), SysStringLen(result.bstrVal))
                          : std::u16string();
  }
  VariantClear(&result);
  return text;
}

bool setMovieVariable(std::u16string_view name, std::u16string_view value) {
  VARIANT arguments[2];  // automation order: value, then name
  arguments[0].vt = VT_BSTR;
  arguments[0].bstrVal = newBstr(value);
  arguments[1].vt = VT_BSTR;
  arguments[1].bstrVal = newBstr(name);
  HRESULT hr = invokePlayer(L"SetVariable", DISPATCH_METHOD, arguments, 2, nullptr);
  VariantClear(&arguments[0]);
  VariantClear(&arguments[1]);
  return SUCCEEDED(hr);
}

}  // namespace vexil::hostobjects
