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

// The Window object for the main window getMainWnd hands out: the one the Window class keeps for
// the engine while it stands for `main`, else a new one (also published in the global
// "$_LUMARC_MAIN_WINDOW_"). Null when main is not a window or the engine has no Window class.
script::Value mainWindowObject(script::Engine& engine, HWND main);

// The window handle a Window object stands for; null when the value is not a Window object.
HWND windowObjectHandle(script::Engine& engine, const script::Value& value);

// Installs the context-menu handler of a Window object's window: a right click runs it and goes no
// further. A value that is not a function removes it. False when the object is not a Window object
// with events (a window hooked by another engine has none).
bool setWindowContextMenu(script::Engine& engine, const script::Value& windowObject, const script::Value& handler);

// Registration step: the "Window" class and the "$AW_..." constants.
void registerWindow(script::Engine& engine);

}  // namespace vexil::hostobjects
