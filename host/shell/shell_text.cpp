#include "host/shell/shell_text.h"

#include "host/hostobjects/host_context.h"
#include "host/mainwnd/main_wnd.h"
#include "objects/com/win32/automation_errors.h"
#include "platform/win32/wide_text.h"
#include "script/runtime/conversions.h"
#include "script/runtime/runtime_error.h"
#include "script/runtime/script_string.h"
#include "script/runtime/stack_roots.h"

namespace vexil::shell {
namespace {

std::optional<std::wstring> withoutZeros(std::u16string_view text) {
  if (text.find(u'\0') != std::u16string_view::npos) return std::nullopt;
  return platform::toWide(text);
}

}  // namespace

std::optional<std::wstring> wideArgument(const script::Arguments& args, uint32_t i) {
  const script::ScriptString* text = args.string(i);
  if (!text) return std::nullopt;
  return withoutZeros(text->view());
}

std::optional<std::wstring> wideText(script::Engine& engine, const script::Value& value) {
  script::StackRoots roots(engine);
  script::Value* text = roots.hold();
  script::valueToString(engine, value, text);
  return withoutZeros(text->string()->view());
}

script::Value wideValue(script::Engine& engine, std::wstring_view text) {
  return script::makeString(engine, platform::asUtf16(text));
}

HWND mainWindowHandle() {
  mainwnd::CMainWnd* window = hostobjects::hostContext().mainWnd;
  return window ? window->handle() : nullptr;
}

void keepSystemMessage(script::Engine& engine, DWORD code) {
  script::setMessage(engine, "%s", objects::com::systemMessage(HRESULT(code)).c_str());
}

}  // namespace vexil::shell
