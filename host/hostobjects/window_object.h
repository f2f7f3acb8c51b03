#pragma once
// Window objects handed out by other classes: getMainWnd, the player's window, controls that
// scripts create. Every Window object for one handle shares its hook (handlers and subclassing).
#include <windows.h>

#include "script/runtime/value.h"

namespace vexil::script {
struct Engine;
}

namespace vexil::hostobjects {

// A Window object for the handle, hooking the window when it is the first object for it; a Null
// value when the handle is not a window.
script::Value newWindowObject(script::Engine& engine, HWND window);

// The window handle a Window object stands for; null when the value is not a Window object.
HWND windowObjectHandle(script::Engine& engine, const script::Value& value);

// Installs the context-menu handler of a Window object's window: a right click runs it and goes no
// further. A value that is not a function removes it. False when the object is not a Window object
// with events (a window hooked by another engine has none).
bool setWindowContextMenu(script::Engine& engine, const script::Value& windowObject, const script::Value& handler);

// Registration step: the "Window" class and the "$AW_..." constants.
void registerWindow(script::Engine& engine);

}  // namespace vexil::hostobjects
