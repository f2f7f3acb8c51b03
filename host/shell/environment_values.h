#pragma once
// The process's environment through the wide calls, with buffers sized by what the calls report.
#include <optional>
#include <string>

namespace vexil::shell {

// The variable's value; none when it does not exist.
std::optional<std::wstring> environmentValue(const std::wstring& name);
// The text with its %NAME% references expanded; none when the call fails.
std::optional<std::wstring> expandedText(const std::wstring& text);

}  // namespace vexil::shell
