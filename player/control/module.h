#pragma once
// Process-wide state of the control DLL: its instance handle and the counts that decide whether
// DllCanUnloadNow may say yes.
#include <windows.h>

namespace vexil::control {

HINSTANCE moduleInstance();
void setModuleInstance(HINSTANCE instance);

// Live objects (controls, factories) and IClassFactory::LockServer locks.
void addModuleReference();
void releaseModuleReference();
bool moduleInUse();

}  // namespace vexil::control
