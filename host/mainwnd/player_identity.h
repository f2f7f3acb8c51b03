#pragma once
// The player controls the host knows: the Flash Player itself, and our own stand-in player, which
// a package may carry as its player file or a machine may have registered instead.
#include <windows.h>

#include "player/control/control_ids.h"

namespace vexil::mainwnd {

// {D27CDB6E-AE6D-11CF-96B8-444553540000}
inline constexpr CLSID kFlashPlayerClsid = {0xD27CDB6E, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
inline constexpr const wchar_t* kFlashPlayerClsidText = L"{D27CDB6E-AE6D-11CF-96B8-444553540000}";

// Tried in this order, by class or in a player file.
inline constexpr const CLSID* kPlayerClasses[] = {&kFlashPlayerClsid, &control::kControlClsid};

// Automation members the host writes.
inline constexpr DISPID kDispidMovie = 102;
inline constexpr DISPID kDispidFsCommand = 150;
// Written by name: the control says which ids it gives them.
inline constexpr const wchar_t* kPropertyScaleMode = L"ScaleMode";              // 2 exact fit, 3 no scale
inline constexpr const wchar_t* kPropertyBackgroundColor = L"BackgroundColor";  // 0xRRGGBB

inline constexpr int kScaleExactFit = 2;
inline constexpr int kScaleNoScale = 3;

inline constexpr const char* kFailedToLoadPlayer = "Failed to load the Macromedia Flash Player!";

}  // namespace vexil::mainwnd
