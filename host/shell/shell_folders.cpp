// Shell.getSpecialFolder: a folder by its name in the table, as a path. Shell folders come from
// their item lists; the rest from the system directories, the environment and the registry.
#include <windows.h>
#include <shlobj.h>

#include <optional>
#include <string>

#include "host/shell/environment_values.h"
#include "host/shell/shell_members.h"
#include "host/shell/shell_text.h"
#include "host/shell/special_folders.h"
#include "platform/win32/unique_handle.h"
#include "script/runtime/host_class.h"
#include "script/runtime/script_string.h"

namespace vexil::shell {
namespace {

static_assert(CSIDL_APPDATA == 0x1A && CSIDL_COOKIES == 0x21 && CSIDL_DESKTOPDIRECTORY == 0x10 &&
              CSIDL_COMMON_DESKTOPDIRECTORY == 0x19 && CSIDL_FAVORITES == 0x06 && CSIDL_FONTS == 0x14 &&
              CSIDL_HISTORY == 0x22 && CSIDL_INTERNET_CACHE == 0x20 && CSIDL_PERSONAL == 0x05 &&
              CSIDL_NETHOOD == 0x13 && CSIDL_PRINTERS == 0x04 && CSIDL_PROGRAMS == 0x02 &&
              CSIDL_COMMON_PROGRAMS == 0x17 && CSIDL_RECENT == 0x08 && CSIDL_SENDTO == 0x09 &&
              CSIDL_STARTMENU == 0x0B && CSIDL_COMMON_STARTMENU == 0x16 && CSIDL_STARTUP == 0x07 &&
              CSIDL_COMMON_STARTUP == 0x18 && CSIDL_TEMPLATES == 0x15,
              "the portable folder table spells the system's CSIDL numbers");

using script::HostCall;

std::optional<std::wstring> shellFolder(int csidl) {
  PIDLIST_ABSOLUTE items = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &items)) || !items) return std::nullopt;
  wchar_t path[MAX_PATH] = {};
  BOOL ok = SHGetPathFromIDListW(items, path);
  CoTaskMemFree(items);  // the shell allocator
  if (!ok) return std::nullopt;
  return std::wstring(path);
}

// GetWindowsDirectory and GetSystemDirectory report the size they need when the buffer is short.
template <UINT (*WINAPI Directory)(LPWSTR, UINT)>
std::optional<std::wstring> systemDirectory() {
  std::wstring path(MAX_PATH, L'\0');
  for (int attempt = 0; attempt < 3; ++attempt) {
    UINT length = Directory(path.data(), UINT(path.size()));
    if (length == 0) return std::nullopt;
    if (length < path.size()) return path.substr(0, length);
    path.assign(length, L'\0');
  }
  return std::nullopt;
}

std::optional<std::wstring> registryProgramFiles() {
  platform::UniqueKey key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"software\\microsoft\\windows\\currentversion", 0, KEY_QUERY_VALUE,
                    key.put()) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  DWORD type = 0, bytes = 0;
  if (RegQueryValueExW(key.get(), L"ProgramFilesDir", nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ)) {
    return std::nullopt;
  }
  std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
  bytes = DWORD(value.size() * sizeof(wchar_t));
  if (RegQueryValueExW(key.get(), L"ProgramFilesDir", nullptr, &type, reinterpret_cast<BYTE*>(value.data()),
                       &bytes) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  value.resize(wcsnlen(value.c_str(), value.size()));
  return value;
}

std::optional<std::wstring> folderPath(const SpecialFolder& folder) {
  switch (folder.source) {
    case FolderSource::Csidl: return shellFolder(folder.csidl);
    case FolderSource::Windows: return systemDirectory<GetWindowsDirectoryW>();
    case FolderSource::System: return systemDirectory<GetSystemDirectoryW>();
    case FolderSource::Temp:
      if (auto tmp = environmentValue(L"TMP")) return tmp;
      if (auto temp = environmentValue(L"TEMP")) return temp;
      return systemDirectory<GetWindowsDirectoryW>();
    case FolderSource::ProgramFiles:
      if (auto programFiles = environmentValue(L"ProgramFiles")) return programFiles;
      return registryProgramFiles();
    case FolderSource::NoPath: return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace

void getSpecialFolder(HostCall& call) {
  call.result->setNull();
  const script::ScriptString* name = call.args.string(1);
  const SpecialFolder* folder = name ? findSpecialFolder(name->view()) : nullptr;
  if (!folder) return;
  if (std::optional<std::wstring> path = folderPath(*folder)) *call.result = wideValue(call.engine, *path);
}

}  // namespace vexil::shell
