#include "objects/com/win32/automation_errors.h"

#include "platform/win32/wide_text.h"
#include "script/runtime/runtime_error.h"

namespace vexil::objects::com {

namespace {

std::string bstrText(BSTR& text) {
  std::string ansi = text ? platform::toAnsi(std::wstring_view(text, SysStringLen(text))) : std::string();
  SysFreeString(text);
  text = nullptr;
  return ansi;
}

}  // namespace

std::string systemMessage(HRESULT code) {
  char buffer[1024];
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, DWORD(code),
                                MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), buffer, sizeof buffer, nullptr);
  std::string text(buffer, length);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
  return text;
}

void traceAutomationFailure(script::Engine& engine, HRESULT code, EXCEPINFO& exception) {
  if (code == DISP_E_EXCEPTION) {
    if (exception.pfnDeferredFillIn) exception.pfnDeferredFillIn(&exception);
    std::string source = bstrText(exception.bstrSource);
    std::string description = bstrText(exception.bstrDescription);
    std::string help = bstrText(exception.bstrHelpFile);
    script::warn(engine, "%s:%s. See also: %s.", source.c_str(), description.c_str(), help.c_str());
    return;
  }
  std::string text = systemMessage(code);
  if (text.empty()) text = "Automation call failed (0x" + [code] {
    char hex[16];
    snprintf(hex, sizeof hex, "%08lX", static_cast<unsigned long>(code));
    return std::string(hex);
  }() + ")";
  script::warn(engine, "%s", text.c_str());
}

void traceBridgeProblem(script::Engine& engine, const std::string& text) { script::warn(engine, "%s", text.c_str()); }

}  // namespace vexil::objects::com
