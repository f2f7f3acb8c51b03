#pragma once
// The calls host code makes into an engine. Each is a protected call: it clears the message buffer
// and the last result, restores the stack pointer on every exit, and answers success or failure;
// the result is left in the engine's last result and a failure's text in the message buffer.
//
// Natives are called here directly; script functions go to the interpreter's run-function entry.
// The callee, the receiver and the arguments are copied onto the value stack for the call, so they
// stay alive through any collection that happens inside it.
#include "script/runtime/value.h"

namespace vexil::script {

struct Engine;

// args: an argument block (element 0 the count), or null for no arguments.
bool callGlobal(Engine& engine, const char* name, const Value* args);
bool callValue(Engine& engine, const Value& callee, const Value* args);
// As callValue, with `self` as this for a script function (event handlers run on their object).
bool callValueOn(Engine& engine, const Value& callee, const Value& self, const Value* args);
bool callMethod(Engine& engine, const Value& receiver, Atom method, const Value* args);
bool callMethod(Engine& engine, const Value& receiver, const char* method, const Value* args);

}  // namespace vexil::script
