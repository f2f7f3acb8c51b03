#include "platform/win32/dll_module.h"

namespace vexil::platform {
namespace {

HINSTANCE gInstance = nullptr;
LONG gReferences = 0;

}  // namespace

HINSTANCE moduleInstance() { return gInstance; }
void setModuleInstance(HINSTANCE instance) { gInstance = instance; }

std::wstring modulePath() {
  wchar_t path[MAX_PATH * 2];
  DWORD length = GetModuleFileNameW(gInstance, path, MAX_PATH * 2);
  return std::wstring(path, length);
}

void addModuleReference() { InterlockedIncrement(&gReferences); }
void releaseModuleReference() { InterlockedDecrement(&gReferences); }
bool moduleInUse() { return gReferences != 0; }

}  // namespace vexil::platform
