#include "objects/sysinfo/win32/screensaver_setting.h"

#include <windows.h>

#include <vector>

#include "platform/win32/unique_handle.h"

namespace vexil::objects {
namespace {

constexpr const wchar_t* kDesktopKey = L"Control Panel\\Desktop";
constexpr const wchar_t* kScreensaverValue = L"SCRNSAVE.EXE";
constexpr const wchar_t* kBootSection = L"boot";
constexpr const wchar_t* kSystemIni = L"SYSTEM.INI";
constexpr DWORD kBroadcastTimeoutMs = 2000;

bool onWindows9x() { return (GetVersion() & 0x80000000u) != 0; }

// The value's text, whatever its stored length, cut at its first terminator if it has one.
std::optional<std::wstring> registryText(HKEY key, const wchar_t* name) {
  DWORD type = 0, bytes = 0;
  if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS) return std::nullopt;
  if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
  std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1, L'\0');
  if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &bytes) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  std::wstring text(buffer.data(), bytes / sizeof(wchar_t));
  text.resize(wcsnlen(text.c_str(), text.size()));
  return text;
}

}  // namespace

std::optional<std::wstring> selectedScreensaver() {
  std::optional<std::wstring> path;
  if (onWindows9x()) {
    wchar_t buffer[MAX_PATH] = {};
    GetPrivateProfileStringW(kBootSection, kScreensaverValue, L"", buffer, MAX_PATH, kSystemIni);
    path = buffer;
  } else {
    platform::UniqueKey desktop;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_QUERY_VALUE, desktop.put()) != ERROR_SUCCESS) {
      return std::nullopt;
    }
    path = registryText(desktop.get(), kScreensaverValue);
  }
  if (!path || path->empty()) return std::nullopt;
  return path;
}

bool selectScreensaver(const std::wstring& path) {
  wchar_t shortPath[MAX_PATH];
  DWORD length = GetShortPathNameW(path.c_str(), shortPath, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return false;
  bool stored = false;
  if (onWindows9x()) {
    stored = WritePrivateProfileStringW(kBootSection, kScreensaverValue, shortPath, kSystemIni) != 0;
  } else {
    platform::UniqueKey desktop;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kDesktopKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, desktop.put(),
                        nullptr) == ERROR_SUCCESS) {
      stored = RegSetValueExW(desktop.get(), kScreensaverValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(shortPath),
                              (length + 1) * sizeof(wchar_t)) == ERROR_SUCCESS;
    }
  }
  if (stored) SendMessageTimeoutW(HWND_BROADCAST, WM_WININICHANGE, 0, 0, SMTO_ABORTIFHUNG, kBroadcastTimeoutMs, nullptr);
  return stored;
}

}  // namespace vexil::objects
