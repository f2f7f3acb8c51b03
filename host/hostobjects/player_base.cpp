#include "host/hostobjects/player_base.h"

#include <windows.h>
#include <oleauto.h>

#include <algorithm>

#include "host/hostobjects/host_context.h"
#include "host/mainwnd/main_wnd.h"
#include "platform/win32/wide_text.h"

namespace vexil::hostobjects {
namespace {

constexpr wchar_t kBaseProperty[] = L"Base";

IDispatch* player() {
  mainwnd::CMainWnd* window = hostContext().mainWnd;
  return window ? window->player().dispatch() : nullptr;
}

std::optional<DISPID> baseId(IDispatch* control) {
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(kBaseProperty)};
  if (FAILED(control->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) return std::nullopt;
  return id;
}

}  // namespace

std::optional<std::string> playerBase() {
  IDispatch* control = player();
  if (!control) return std::nullopt;
  auto id = baseId(control);
  if (!id) return std::nullopt;
  DISPPARAMS none{};
  VARIANT result;
  VariantInit(&result);
  HRESULT status = control->Invoke(*id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &result, nullptr,
                                   nullptr);
  std::optional<std::string> base;
  if (SUCCEEDED(status) && SUCCEEDED(VariantChangeType(&result, &result, 0, VT_BSTR)) && result.bstrVal &&
      SysStringLen(result.bstrVal) > 0) {
    base = platform::toAnsi(std::wstring_view(result.bstrVal, SysStringLen(result.bstrVal)));
  }
  VariantClear(&result);
  return base;
}

bool setPlayerBase(const std::string& url) {
  IDispatch* control = player();
  if (!control) return false;
  auto id = baseId(control);
  if (!id) return false;
  VARIANT value;
  VariantInit(&value);
  value.vt = VT_BSTR;
  value.bstrVal = SysAllocString(platform::toWide(url).c_str());
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params{&value, &named, 1, 1};
  HRESULT status =
      control->Invoke(*id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr);
  VariantClear(&value);
  return SUCCEEDED(status);
}

std::string baseUrlFor(std::string directory) {
  std::replace(directory.begin(), directory.end(), '\\', '/');
  if (directory.empty() || directory.back() != '/') directory += '/';
  return "file:///" + directory;
}

}  // namespace vexil::hostobjects
