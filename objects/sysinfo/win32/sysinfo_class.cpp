// SysInfo has no state: every member answers on the class object, and an instance (new SysInfo)
// answers the same. Texts go through the wide calls, so names and paths outside the system code
// page reach scripts unchanged.
#include "objects/sysinfo/win32/sysinfo_class.h"

#include <windows.h>
#include <lmcons.h>

#include <memory>
#include <string>

#include "objects/sysinfo/display_mode.h"
#include "objects/sysinfo/version_text.h"
#include "objects/sysinfo/win32/cpu_speed.h"
#include "objects/sysinfo/win32/screensaver_setting.h"
#include "objects/sysinfo/win32/session_end.h"
#include "platform/win32/wide_text.h"
#include "script/runtime/array_elements.h"
#include "script/runtime/atom_table.h"
#include "script/runtime/conversions.h"
#include "script/runtime/host_class.h"
#include "script/runtime/property_table.h"
#include "script/runtime/script_string.h"
#include "script/runtime/stack_roots.h"

namespace vexil::objects {
namespace {

using script::HostCall;
using script::Tag;
using script::Value;

struct SysInfoData {};  // instances carry nothing; the data only tells them from the class object

void answerWide(HostCall& call, std::wstring_view text) {
  *call.result = script::makeString(call.engine, platform::asUtf16(text));
}

std::wstring wideArgument(const Value& value) { return platform::toWide(value.string()->view()); }

template <SessionEnd How>
void endSessionMember(HostCall&) {
  endSession(How);
}

// --- names and version

void getComputerName(HostCall& call) {
  wchar_t name[MAX_COMPUTERNAME_LENGTH + 1];
  DWORD length = MAX_COMPUTERNAME_LENGTH + 1;
  if (!GetComputerNameW(name, &length)) return call.result->setNull();
  answerWide(call, {name, length});
}

// Takes effect when the system next starts.
void setComputerName(HostCall&, const Value& value) {
  if (value.tag == Tag::String) SetComputerNameW(wideArgument(value).c_str());
}

void getUserName(HostCall& call) {
  wchar_t name[UNLEN + 1];
  DWORD length = UNLEN + 1;
  if (!GetUserNameW(name, &length) || length == 0) return call.result->setNull();
  answerWide(call, {name, length - 1});  // the count includes the terminator
}

// The answer is truthful only for the systems the executable's manifest names as supported; the
// runner and the screensaver name them all.
void getVersion(HostCall& call) {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (!GetVersionExW(&info)) return call.result->setNull();
  SystemVersion version{info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber,
                        platform::toAnsi(info.szCSDVersion)};
  *call.result = script::makeStringFromAnsi(call.engine, systemVersionText(version));
}

template <UINT(WINAPI* Fetch)(LPWSTR, UINT)>
void getFolder(HostCall& call) {
  wchar_t path[MAX_PATH + 1];
  UINT length = Fetch(path, MAX_PATH + 1);
  if (length == 0 || length > MAX_PATH) return call.result->setBoolean(false);
  answerWide(call, {path, length});
}

// --- work area and memory

template <LONG RECT::*Edge>
void getWorkArea(HostCall& call) {
  RECT area;
  if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0)) return call.result->setNaN();
  call.result->setInteger(area.*Edge);
}

// The extended call: the plain one stops counting at 2 or 4 GB.
template <DWORDLONG MEMORYSTATUSEX::*Field>
void getMemory(HostCall& call) {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  if (!GlobalMemoryStatusEx(&status)) return call.result->setNaN();
  call.result->setInteger(int64_t(status.*Field));
}

void getCpuSpeed(HostCall& call) {
  std::optional<double> mhz = measureCpuSpeedMhz();
  if (!mhz) return call.result->setNaN();
  call.result->setReal(*mhz);
}

// --- screensaver

void getScreenSaver(HostCall& call) {
  std::optional<std::wstring> path = selectedScreensaver();
  if (!path) return call.result->setNull();
  answerWide(call, *path);
}

void setScreenSaver(HostCall& call, const Value& value) {
  script::StackRoots roots(call.engine);
  Value* text = roots.hold();
  script::valueToString(call.engine, value, text);
  if (text->tag == Tag::String) selectScreensaver(wideArgument(*text));
}

// Changes are stored in the user's profile and announced, as the display settings would.
constexpr UINT kStoreAndAnnounce = SPIF_UPDATEINIFILE | SPIF_SENDCHANGE;

void getScreenSaverActive(HostCall& call) {
  BOOL active = FALSE;
  SystemParametersInfoW(SPI_GETSCREENSAVEACTIVE, 0, &active, 0);
  call.result->setBoolean(active != FALSE);
}

void setScreenSaverActive(HostCall& call, const Value& value) {
  SystemParametersInfoW(SPI_SETSCREENSAVEACTIVE, script::valueToBoolean(call.engine, value), nullptr,
                        kStoreAndAnnounce);
}

void getScreenSaverTimeout(HostCall& call) {
  UINT seconds = 0;
  SystemParametersInfoW(SPI_GETSCREENSAVETIMEOUT, 0, &seconds, 0);
  call.result->setInteger(seconds);
}

void setScreenSaverTimeout(HostCall&, const Value& value) {
  if (value.tag != Tag::Integer || value.integer() < 0 || value.integer() > INT32_MAX) return;
  SystemParametersInfoW(SPI_SETSCREENSAVETIMEOUT, UINT(value.integer()), nullptr, kStoreAndAnnounce);
}

// --- display modes

constexpr DWORD kFieldFlags[kDisplayFieldCount] = {DM_BITSPERPEL, DM_PELSWIDTH, DM_PELSHEIGHT,
                                                   DM_DISPLAYFREQUENCY};
constexpr DWORD DEVMODEW::*kFieldMembers[kDisplayFieldCount] = {&DEVMODEW::dmBitsPerPel, &DEVMODEW::dmPelsWidth,
                                                                &DEVMODEW::dmPelsHeight,
                                                                &DEVMODEW::dmDisplayFrequency};

DisplayMode modeOf(const DEVMODEW& device) {
  DisplayMode mode;
  for (size_t i = 0; i < kDisplayFieldCount; ++i) mode.fields[i] = device.*kFieldMembers[i];
  return mode;
}

bool displayMode(DWORD number, DEVMODEW* device) {
  *device = DEVMODEW{};
  device->dmSize = sizeof *device;
  return EnumDisplaySettingsW(nullptr, number, device) != FALSE;
}

void getDisplaySettings(HostCall& call) {
  script::StackRoots roots(call.engine);
  Value* list = roots.hold();
  script::ArrayRecord* array = script::newArray(call.engine);
  list->setArray(array);
  Value* mode = roots.hold();
  DEVMODEW device;
  for (DWORD n = 0; displayMode(n, &device); ++n) {
    makeDisplayModeObject(call.engine, modeOf(device), mode);
    script::storeElement(call.engine, *array, n, *mode);
  }
  *call.result = *list;
}

void getDisplaySetting(HostCall& call) {
  DEVMODEW device;
  if (!displayMode(ENUM_CURRENT_SETTINGS, &device)) return call.result->setNull();
  script::StackRoots roots(call.engine);
  Value* mode = roots.hold();
  makeDisplayModeObject(call.engine, modeOf(device), mode);
  *call.result = *mode;
}

// The current mode with the fields the object holds replaced, and only those marked for change.
void setDisplaySetting(HostCall& call, const Value& value) {
  if (value.tag != Tag::Object) return;
  script::StackRoots roots(call.engine);
  Value* object = roots.hold(value);
  DEVMODEW device;
  if (!displayMode(ENUM_CURRENT_SETTINGS, &device)) return;
  DisplayModeRequest request = readDisplayModeRequest(call.engine, object->table());
  device.dmFields = 0;
  for (size_t i = 0; i < kDisplayFieldCount; ++i) {
    if (!request.fields[i]) continue;
    device.*kFieldMembers[i] = DWORD(*request.fields[i]);
    device.dmFields |= kFieldFlags[i];
  }
  LONG result = ChangeDisplaySettingsW(&device, request.test ? CDS_TEST : CDS_UPDATEREGISTRY);
  script::setProperty(call.engine, object->table(), script::intern(call.engine, "test"),
                      Value::fromInteger(result));
}

void construct(HostCall& call) { call.publish(std::make_unique<SysInfoData>()); }

const script::HostMethodEntry kMethods[] = {
    {"logOff", endSessionMember<SessionEnd::LogOff>, true},
    {"shutdown", endSessionMember<SessionEnd::Shutdown>, true},
    {"reboot", endSessionMember<SessionEnd::Reboot>, true},
    {"powerOff", endSessionMember<SessionEnd::PowerOff>, true},
    {"getDisplaySettings", getDisplaySettings, true},
};

const script::HostPropertyEntry kProperties[] = {
    {"computerName", getComputerName, setComputerName, true},
    {"userName", getUserName, nullptr, true},
    {"version", getVersion, nullptr, true},
    {"sysDir", getFolder<GetSystemDirectoryW>, nullptr, true},
    {"winDir", getFolder<GetWindowsDirectoryW>, nullptr, true},
    {"workareaLeft", getWorkArea<&RECT::left>, nullptr, true},
    {"workareaTop", getWorkArea<&RECT::top>, nullptr, true},
    {"workareaRight", getWorkArea<&RECT::right>, nullptr, true},
    {"workareaBottom", getWorkArea<&RECT::bottom>, nullptr, true},
    {"totalPhysMemory", getMemory<&MEMORYSTATUSEX::ullTotalPhys>, nullptr, true},
    {"availPhysMemory", getMemory<&MEMORYSTATUSEX::ullAvailPhys>, nullptr, true},
    {"cpuSpeed", getCpuSpeed, nullptr, true},
    {"screenSaver", getScreenSaver, setScreenSaver, true},
    {"screenSaverActive", getScreenSaverActive, setScreenSaverActive, true},
    {"screenSaverTimeout", getScreenSaverTimeout, setScreenSaverTimeout, true},
    {"displaySetting", getDisplaySetting, setDisplaySetting, true},
};

const script::HostClassInfo kSysInfoClass = {
    .name = "SysInfo",
    .methods = kMethods,
    .properties = kProperties,
    .construct = construct,
    .release = script::deleteInstance<SysInfoData>,
};

}  // namespace

void registerSysInfo(script::Engine& engine) { script::defineHostClass(engine, kSysInfoClass); }

}  // namespace vexil::objects
