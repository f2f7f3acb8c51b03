// Shell: the system shell's services for scripts. It keeps no state; the class object answers every
// member, and an instance made with new answers the same.
#include "host/shell/shell_class.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <memory>
#include <optional>
#include <string>

#include "host/shell/shell_members.h"
#include "host/shell/shell_text.h"
#include "script/runtime/conversions.h"
#include "script/runtime/host_class.h"

namespace vexil::shell {
namespace {

using script::HostCall;

// A broadcast waits this long for each top-level window; a hung one is skipped at once.
constexpr UINT kBroadcastTimeout = 5000;

void shellVerb(HostCall& call, const wchar_t* verb) {
  std::optional<std::wstring> file = wideArgument(call.args, 1);
  if (!file) return;
  std::optional<std::wstring> directory = wideArgument(call.args, 2);
  std::optional<std::wstring> parameters = wideArgument(call.args, 3);
  ShellExecuteW(mainWindowHandle(), verb, file->c_str(), parameters ? parameters->c_str() : nullptr,
                directory ? directory->c_str() : nullptr, SW_SHOWNORMAL);
}

void open(HostCall& call) { shellVerb(call, L"open"); }
void explore(HostCall& call) { shellVerb(call, L"explore"); }
void print(HostCall& call) { shellVerb(call, L"print"); }

void findExecutable(HostCall& call) {
  call.result->setNull();
  std::optional<std::wstring> file = wideArgument(call.args, 1);
  if (!file) return;
  wchar_t program[MAX_PATH] = {};
  if (reinterpret_cast<INT_PTR>(FindExecutableW(file->c_str(), nullptr, program)) > 32) {
    *call.result = wideValue(call.engine, program);
  }
}

void addToRecentDocs(HostCall& call) {
  if (std::optional<std::wstring> path = wideArgument(call.args, 1)) SHAddToRecentDocs(SHARD_PATHW, path->c_str());
}

void clearRecentDocs(HostCall&) { SHAddToRecentDocs(SHARD_PATHW, nullptr); }

void emptyRecycleBin(HostCall&) {
  using EmptyRecycleBin = HRESULT(WINAPI*)(HWND, LPCWSTR, DWORD);
  HMODULE shell32 = GetModuleHandleW(L"shell32.dll");
  auto empty = shell32 ? reinterpret_cast<EmptyRecycleBin>(
                             reinterpret_cast<void*>(GetProcAddress(shell32, "SHEmptyRecycleBinW")))
                       : nullptr;
  if (empty) empty(mainWindowHandle(), nullptr, 0);
}

void setDesktopWallpaper(HostCall& call) {
  call.result->setBoolean(false);
  std::optional<std::wstring> bitmap = wideArgument(call.args, 1);
  if (!bitmap) return;
  bool updateProfile = call.args.count() < 2 || script::valueToBoolean(call.engine, *call.args.at(2));
  bool broadcast = call.args.count() < 3 || script::valueToBoolean(call.engine, *call.args.at(3));
  UINT flags = (updateProfile ? SPIF_UPDATEINIFILE : 0) | (broadcast ? SPIF_SENDWININICHANGE : 0);
  call.result->setBoolean(SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, bitmap->data(), flags) != FALSE);
}

// A window that stopped answering must not hold the script up: each window gets a bounded wait.
void settingChange(HostCall&) {
  SendMessageTimeoutW(HWND_BROADCAST, WM_WININICHANGE, 0, 0, SMTO_ABORTIFHUNG, kBroadcastTimeout, nullptr);
}

const script::HostMethodEntry kMethods[] = {
    {"run", run, true},
    {"runAndWait", runAndWait, true},
    {"open", open, true},
    {"explore", explore, true},
    {"print", print, true},
    {"findExecutable", findExecutable, true},
    {"getSpecialFolder", getSpecialFolder, true},
    {"addToRecentDocs", addToRecentDocs, true},
    {"clearRecentDocs", clearRecentDocs, true},
    {"emptyRecycleBin", emptyRecycleBin, true},
    {"getEnvironmentStrings", getEnvironmentStrings, true},
    {"getEnvironmentVariable", getEnvironmentVariable, true},
    {"setEnvironmentVariable", setEnvironmentVariable, true},
    {"delEnvironmentVariable", delEnvironmentVariable, true},
    {"expandEnvironmentStrings", expandEnvironmentStrings, true},
    {"setDesktopWallpaper", setDesktopWallpaper, true},
    {"settingChange", settingChange, true},
    {"getFileVersionInfo", getFileVersionInfo, true},
};

// An instance has nothing of its own; it is there so that `new Shell()` answers like the class.
struct ShellInstance {};

void construct(HostCall& call) { call.publish(std::make_unique<ShellInstance>()); }

const script::HostClassInfo kShellClass = {
    .name = "Shell",
    .methods = kMethods,
    .construct = construct,
    .release = script::deleteInstance<ShellInstance>,
};

}  // namespace

void registerShell(script::Engine& engine) { script::defineHostClass(engine, kShellClass); }

}  // namespace vexil::shell
