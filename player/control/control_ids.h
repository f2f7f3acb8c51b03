#pragma once
// The stand-in player control's own identity. It never registers under another control's
// identity: hosts that want it create it by these ids or from its file.
#include <windows.h>
#include <oaidl.h>

namespace vexil::control {

// {6623FBB9-4C48-4006-B37B-4C2F0B66A1D1}
inline constexpr CLSID kControlClsid = {0x6623FBB9, 0x4C48, 0x4006, {0xB3, 0x7B, 0x4C, 0x2F, 0x0B, 0x66, 0xA1, 0xD1}};
// The automation interface (a dispinterface: reached through IDispatch only).
// {1F317410-9540-48D8-81B5-244AD82F0739}
inline constexpr IID kAutomationIid = {0x1F317410, 0x9540, 0x48D8, {0x81, 0xB5, 0x24, 0x4A, 0xD8, 0x2F, 0x07, 0x39}};
// The event dispinterface that FSCommand is fired through.
// {4769ADF9-7CF7-4B79-BAC4-52F8CBF57C34}
inline constexpr IID kEventsIid = {0x4769ADF9, 0x7CF7, 0x4B79, {0xBA, 0xC4, 0x52, 0xF8, 0xCB, 0xF5, 0x7C, 0x34}};

inline constexpr const wchar_t* kClsidText = L"{6623FBB9-4C48-4006-B37B-4C2F0B66A1D1}";
inline constexpr const wchar_t* kProgId = L"Vexil.PlayerControl.1";
inline constexpr const wchar_t* kVersionIndependentProgId = L"Vexil.PlayerControl";
inline constexpr const wchar_t* kControlName = L"Vexil Player Control";

inline constexpr DISPID kDispidMovie = 102;
inline constexpr DISPID kDispidFsCommand = 150;

}  // namespace vexil::control
