#pragma once
// ActiveXObject and Enumerator: scripts' late-bound access to automation servers. Other classes
// hand automation objects to scripts (a created control, a player's events) through wrapDispatch
// and read them back with dispatchOf.
#include <windows.h>
#include <oaidl.h>

#include <cstdint>

#include "script/runtime/value.h"

namespace vexil::script {
struct Engine;
}

namespace vexil::objects::com {

// Registration steps. ActiveXObject also initialises COM for the calling thread, for as long as
// the engine lives.
void registerActiveXObject(script::Engine& engine);
void registerEnumerator(script::Engine& engine);

// The automation object behind an ActiveXObject value; null for anything else.
IDispatch* dispatchOf(const script::Value& value);
// Sets target to a new ActiveXObject around object (a reference of its own, its events wired as
// at creation); undefined when the engine has no ActiveXObject class.
void wrapDispatch(script::Engine& engine, IDispatch* object, script::Value* target);

// Interface pointers scripts see as integers (a collection's enumerator): the bridge keeps each
// alive for the engine's life and accepts back only integers it handed out, so a script can never
// make the bridge use an address of its own invention.
int64_t handOutPointer(script::Engine& engine, IUnknown* object);
IUnknown* handedOutPointer(script::Engine& engine, int64_t value);

}  // namespace vexil::objects::com
