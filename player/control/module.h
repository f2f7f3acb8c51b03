#pragma once
// Process-wide state of the control DLL: its instance handle and the counts that decide whether
// DllCanUnloadNow may say yes.
#include <windows.h>

#include <string>

namespace vexil::control {

HINSTANCE moduleInstance();
void setModuleInstance(HINSTANCE instance);
// The file the control was loaded from: what registration writes and the type library is read from.
std::wstring modulePath();

// Live objects (controls, factories) and IClassFactory::LockServer locks.
void addModuleReference();
void releaseModuleReference();
bool moduleInUse();

}  // namespace vexil::control
