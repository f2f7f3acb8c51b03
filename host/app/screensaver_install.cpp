#include <windows.h>

#include "host/app/app_texts.h"
#include "host/app/system_settings.h"
#include "platform/win32/unique_handle.h"

namespace vexil::app {
namespace {

bool onWindows9x() { return (GetVersion() & 0x80000000u) != 0; }

}  // namespace

void installAsScreensaver(const std::wstring& executablePath) {
  wchar_t shortPath[MAX_PATH];
  DWORD length = GetShortPathNameW(executablePath.c_str(), shortPath, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  if (onWindows9x()) {
    WritePrivateProfileStringW(L"boot", kScreensaverValue, executablePath.c_str(), L"SYSTEM.INI");
    return;
  }
  platform::UniqueKey desktop;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_SET_VALUE, desktop.put()) == ERROR_SUCCESS) {
    RegSetValueExW(desktop.get(), kScreensaverValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(shortPath),
                   (length + 1) * sizeof(wchar_t));
  }
  SendMessageTimeoutW(HWND_BROADCAST, WM_WININICHANGE, 0, 0, SMTO_ABORTIFHUNG, 2000, nullptr);
  SystemParametersInfoW(SPI_SETSCREENSAVEACTIVE, TRUE, nullptr, SPIF_SENDWININICHANGE);
}

}  // namespace vexil::app
