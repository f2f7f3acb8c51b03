#pragma once
// The core built-ins: the global values and functions, Math, Boolean, Function, Number and
// Object. Each register function is one step of engine creation; addCoreBuiltins puts them in
// their places in a registry.
#include "script/runtime/class_registration.h"

namespace vexil::script {

struct Engine;

void registerGlobalFunctions(Engine& engine);
void registerMath(Engine& engine);
void registerArray(Engine& engine);
void registerBoolean(Engine& engine);
void registerFunction(Engine& engine);
void registerNumber(Engine& engine);
// String, and with it the global URI coding functions.
void registerString(Engine& engine);
void registerObject(Engine& engine);

ClassRegistry& addCoreBuiltins(ClassRegistry& registry);

}  // namespace vexil::script
