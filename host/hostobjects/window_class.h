#pragma once
// The Window script class, split by concern: registration and instances (window_class.cpp),
// properties (window_properties.cpp), methods (window_methods.cpp).
#include <windows.h>

#include <span>

#include "host/hostobjects/window_hooks.h"
#include "script/runtime/host_class.h"

namespace vexil::hostobjects {

inline constexpr const char* kWindowClassName = "Window";

std::span<const script::HostPropertyEntry> windowProperties();
std::span<const script::HostMethodEntry> windowMethods();

inline WindowObject& windowOf(script::HostCall& call) { return *call.instance<WindowObject>(); }
inline HWND handleOf(script::HostCall& call) { return windowOf(call).window; }

// Sets target to the Window object of the handle (Null when it is not a window); answers it.
script::Value* windowValue(script::Engine& engine, HWND window, script::Value* target);

// Where a window's edges are measured: its parent's client area for a child, else the screen.
RECT windowBounds(HWND window);

}  // namespace vexil::hostobjects
