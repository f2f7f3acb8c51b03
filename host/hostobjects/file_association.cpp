#include "host/hostobjects/file_association.h"

#include <windows.h>

#include "host/hostobjects/app_paths.h"
#include "platform/win32/wide_text.h"

namespace vexil::hostobjects {
namespace {

using platform::toWide;

constexpr DWORD kExtensionValueBytes = 520;

bool setDefaultValue(const std::wstring& keyPath, const std::wstring& text) {
  DWORD bytes = DWORD((text.size() + 1) * sizeof(wchar_t));
  return RegSetValueW(HKEY_CLASSES_ROOT, keyPath.c_str(), REG_SZ, text.c_str(), bytes) == ERROR_SUCCESS;
}

// The extension's current type; empty when it has none or it cannot be read.
std::wstring currentType(const std::wstring& extension) {
  wchar_t value[kExtensionValueBytes / sizeof(wchar_t)] = {};
  LONG size = sizeof value;
  if (RegQueryValueW(HKEY_CLASSES_ROOT, extension.c_str(), value, &size) != ERROR_SUCCESS) return {};
  value[std::size(value) - 1] = 0;
  return value;
}

}  // namespace

// An empty name would write the keys at the top of HKEY_CLASSES_ROOT itself.
void associateFileType(const std::string& extension, const std::string& typeName) {
  if (extension.empty() || typeName.empty()) return;
  std::wstring exe = toWide(executableFile());
  std::wstring type = toWide(typeName);
  if (!setDefaultValue(type + L"\\DefaultIcon", exe + L",1")) return;
  if (!setDefaultValue(type + L"\\shell\\open\\command", exe + L" \"%1\"")) return;
  std::wstring ext = toWide(extension);
  std::wstring current = currentType(ext);
  if (current.empty() || current == ext) setDefaultValue(ext, type);
}

}  // namespace vexil::hostobjects
