#pragma once
// Process-wide state of the test server DLL: its instance handle and path, and the live objects and
// locks whose count DllCanUnloadNow reports.
#include <windows.h>

#include <string>

namespace vexil::test_automation {

HINSTANCE moduleInstance();
void setModuleInstance(HINSTANCE instance);
std::wstring modulePath();

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

}  // namespace vexil::test_automation
