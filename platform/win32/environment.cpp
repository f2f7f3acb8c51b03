#include <objbase.h>
#include <windows.h>

#include <cstdio>

#include "platform/environment.h"
#include "platform/win32/wide_text.h"

namespace vexil::platform {

static std::string ansiOf(const wchar_t* text, size_t size) {
  return utf16ToAnsi(std::u16string_view(reinterpret_cast<const char16_t*>(text), size));
}

std::optional<std::string> environmentVariable(std::string_view name) {
  std::wstring wname = toWide(name);
  DWORD n = GetEnvironmentVariableW(wname.c_str(), nullptr, 0);
  if (n == 0) return std::nullopt;
  std::wstring value(n, L'\0');
  n = GetEnvironmentVariableW(wname.c_str(), value.data(), n);
  return ansiOf(value.data(), n);
}

void setEnvironmentVariable(std::string_view name, const std::optional<std::string>& value) {
  SetEnvironmentVariableW(toWide(name).c_str(), value ? toWide(*value).c_str() : nullptr);
}

std::string windowsDirectory() {
  wchar_t buffer[MAX_PATH];
  UINT n = GetWindowsDirectoryW(buffer, MAX_PATH);
  return ansiOf(buffer, n < MAX_PATH ? n : 0);
}

std::string newGuidText() {
  GUID g{};
  CoCreateGuid(&g);
  char text[40];
  std::snprintf(text, sizeof text, "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                static_cast<unsigned long>(g.Data1), g.Data2, g.Data3, g.Data4[0], g.Data4[1], g.Data4[2],
                g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
  return text;
}

int32_t localTimeOffsetMinutes() {
  TIME_ZONE_INFORMATION zone;
  GetTimeZoneInformation(&zone);
  return -int32_t(zone.Bias);
}

int32_t currentZoneBiasMinutes() {
  TIME_ZONE_INFORMATION zone;
  switch (GetTimeZoneInformation(&zone)) {
    case TIME_ZONE_ID_STANDARD: return int32_t(zone.Bias + zone.StandardBias);
    case TIME_ZONE_ID_DAYLIGHT: return int32_t(zone.Bias + zone.DaylightBias);
    case TIME_ZONE_ID_UNKNOWN: return int32_t(zone.Bias);
    default: return 0;
  }
}

}  // namespace vexil::platform
