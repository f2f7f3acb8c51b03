#pragma once
// The value forms File, Folder and Drive hand to scripts and read from them.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "script/runtime/value.h"

namespace vexil::script {
struct Engine;
}

namespace vexil::objects::files {

// Wide text as a script string.
script::Value scriptText(script::Engine& engine, std::wstring_view text);
// An Array of the texts, in order, in *target.
void scriptTextArray(script::Engine& engine, const std::vector<std::wstring>& texts, script::Value* target);
// An integer, a number or a Date as a time value; nothing for anything else, NaN included.
std::optional<double> scriptTime(const script::Value& value);

}  // namespace vexil::objects::files
