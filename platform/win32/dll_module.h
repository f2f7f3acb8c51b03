#pragma once
// Process-wide state of an in-process COM server DLL (the player control, the automation test
// server): its instance handle and file, and the live objects and locks whose count
// DllCanUnloadNow reports. Each DLL links its own copy.
#include <windows.h>

#include <string>

namespace vexil::platform {

HINSTANCE moduleInstance();
void setModuleInstance(HINSTANCE instance);
// The file the DLL was loaded from: what registration writes and type libraries are read from.
std::wstring modulePath();

// Live objects (servers, factories) and IClassFactory::LockServer locks.
void addModuleReference();
void releaseModuleReference();
bool moduleInUse();

// Held by every object the DLL hands out, so the DLL stays loaded while one lives.
class ModuleReference {
 public:
  ModuleReference() { addModuleReference(); }
  ~ModuleReference() { releaseModuleReference(); }
  ModuleReference(const ModuleReference&) = delete;
  ModuleReference& operator=(const ModuleReference&) = delete;
};

}  // namespace vexil::platform
