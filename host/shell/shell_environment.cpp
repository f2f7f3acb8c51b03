// Shell's environment members: the process's own environment, through the wide calls, so names and
// values outside the ANSI code page survive.
#include <windows.h>

#include <optional>
#include <string>

#include "host/shell/environment_names.h"
#include "host/shell/environment_values.h"
#include "host/shell/shell_members.h"
#include "host/shell/shell_text.h"
#include "platform/win32/wide_text.h"
#include "script/runtime/array_elements.h"
#include "script/runtime/host_class.h"
#include "script/runtime/script_string.h"
#include "script/runtime/stack_roots.h"

namespace vexil::shell {
namespace {

using script::HostCall;
using script::Value;

// The block as one text, ended by its empty entry.
std::optional<std::u16string> environmentBlock() {
  wchar_t* block = GetEnvironmentStringsW();
  if (!block) return std::nullopt;
  const wchar_t* end = block;
  while (*end) end += wcslen(end) + 1;
  std::u16string text(platform::asUtf16(std::wstring_view(block, size_t(end - block))));
  FreeEnvironmentStringsW(block);
  return text;
}

}  // namespace

void getEnvironmentStrings(HostCall& call) {
  call.result->setNull();
  std::optional<std::u16string> block = environmentBlock();
  if (!block) return;
  script::Engine& engine = call.engine;
  script::StackRoots roots(engine);
  Value* names = roots.hold();
  names->setArray(script::newArray(engine));
  uint64_t index = 0;
  for (const std::u16string& name : environmentNames(*block)) {
    Value* text = roots.hold(script::makeString(engine, name));
    script::storeElement(engine, *names->array(), index++, *text);
  }
  *call.result = *names;
}

void getEnvironmentVariable(HostCall& call) {
  call.result->setNull();
  std::optional<std::wstring> name = wideArgument(call.args, 1);
  if (!name) return;
  if (std::optional<std::wstring> value = environmentValue(*name)) *call.result = wideValue(call.engine, *value);
}

void setEnvironmentVariable(HostCall& call) {
  call.result->setBoolean(false);
  if (call.args.count() < 2) return;
  std::optional<std::wstring> name = wideText(call.engine, *call.args.at(1));
  std::optional<std::wstring> value = wideText(call.engine, *call.args.at(2));
  if (!name || !value || name->empty()) return;
  call.result->setBoolean(SetEnvironmentVariableW(name->c_str(), value->c_str()) != FALSE);
}

void delEnvironmentVariable(HostCall& call) {
  call.result->setBoolean(false);
  std::optional<std::wstring> name = wideArgument(call.args, 1);
  if (!name || name->empty()) return;
  call.result->setBoolean(SetEnvironmentVariableW(name->c_str(), nullptr) != FALSE);
}

void expandEnvironmentStrings(HostCall& call) {
  call.result->setNull();
  std::optional<std::wstring> text = wideArgument(call.args, 1);
  if (!text) return;
  if (std::optional<std::wstring> expanded = expandedText(*text)) *call.result = wideValue(call.engine, *expanded);
}

}  // namespace vexil::shell
