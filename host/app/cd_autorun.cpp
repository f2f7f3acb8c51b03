#include <windows.h>

#include "host/app/app_texts.h"
#include "host/app/system_settings.h"
#include "platform/win32/unique_handle.h"

namespace vexil::app {
namespace {

constexpr DWORD kCdRomBit = 0x20;  // the drive-type bit of CD-ROM drives

void showSystemError(LONG code) {
  wchar_t* text = nullptr;
  FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                 DWORD(code), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<wchar_t*>(&text), 0,
                 nullptr);
  MessageBoxW(nullptr, text ? text : L"", nullptr, MB_OK | MB_ICONERROR);
  if (text) LocalFree(text);
}

}  // namespace

// A machine without the policy value has nothing to change or put back; that is not an error to
// show to someone waking the screensaver.
int setCDAutoRun(bool enable) {
  platform::UniqueKey key;
  LONG status = RegOpenKeyExW(HKEY_CURRENT_USER, kExplorerPoliciesKey, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, key.put());
  DWORD value = 0, type = 0, size = sizeof value;
  if (status == ERROR_SUCCESS) {
    status = RegQueryValueExW(key.get(), kAutoRunValue, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    if (status == ERROR_SUCCESS && size != sizeof value) status = ERROR_INVALID_DATA;
  }
  if (status == ERROR_FILE_NOT_FOUND) return 1;
  if (status != ERROR_SUCCESS) {
    showSystemError(status);
    return 1;
  }
  int restore = (value & kCdRomBit) ? 0 : 1;
  DWORD updated = enable ? value & ~kCdRomBit : value | kCdRomBit;
  if (updated != value) {
    status = RegSetValueExW(key.get(), kAutoRunValue, 0, type, reinterpret_cast<const BYTE*>(&updated), sizeof updated);
    if (status != ERROR_SUCCESS) {
      showSystemError(status);
      return 1;
    }
  }
  return restore;
}

}  // namespace vexil::app
