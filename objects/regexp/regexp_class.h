#pragma once
// The RegExp script class. Its registration also fills the engine's RegExp hooks: the loader's
// regular-expression constants and the String methods match, replace, search and split.
#include "script/runtime/value.h"

namespace vexil::script {
struct Engine;
}

namespace vexil::objects {

// Registration step: "RegExp".
void registerRegExp(script::Engine& engine);

// True when the value is a RegExp object (recognised by its class's operations).
bool isRegExp(const script::Value& value);

}  // namespace vexil::objects
