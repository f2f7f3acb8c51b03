// Shell.run and Shell.runAndWait: a program started from the command line exactly as the script
// gave it, with the start-up record's show state, position and size when the script gives them.
#include <windows.h>

#include <optional>
#include <vector>

#include "host/hostobjects/process_messages.h"
#include "host/hostobjects/window_object.h"
#include "host/shell/shell_members.h"
#include "host/shell/shell_text.h"
#include "platform/win32/unique_handle.h"
#include "script/runtime/host_class.h"

namespace vexil::shell {
namespace {

using script::HostCall;

constexpr DWORD kInputIdleWait = 10000;
constexpr DWORD kWindowGrace = 2000;
constexpr DWORD kWindowPoll = 50;

// A started program; its handles close with it.
struct Started {
  explicit Started(const PROCESS_INFORMATION& info)
      : process(info.hProcess), thread(info.hThread), threadId(info.dwThreadId) {}
  platform::UniqueKernelHandle process;
  platform::UniqueKernelHandle thread;
  DWORD threadId;
};

STARTUPINFOW startupRecord(const script::Arguments& args) {
  STARTUPINFOW info = {};
  info.cb = sizeof info;
  if (std::optional<int64_t> show = args.integer(2)) {
    info.dwFlags |= STARTF_USESHOWWINDOW;
    info.wShowWindow = WORD(*show);
  }
  std::optional<int64_t> x = args.integer(3), y = args.integer(4);
  if (x && y) {
    info.dwFlags |= STARTF_USEPOSITION;
    info.dwX = DWORD(*x);
    info.dwY = DWORD(*y);
  }
  std::optional<int64_t> width = args.integer(5), height = args.integer(6);
  if (width && height) {
    info.dwFlags |= STARTF_USESIZE;
    info.dwXSize = DWORD(*width);
    info.dwYSize = DWORD(*height);
  }
  return info;
}

// The system's message goes to the message buffer when the program cannot start.
std::optional<Started> start(HostCall& call) {
  std::optional<std::wstring> commandLine = wideArgument(call.args, 1);
  if (!commandLine) return std::nullopt;
  STARTUPINFOW info = startupRecord(call.args);
  std::vector<wchar_t> writable(commandLine->begin(), commandLine->end());  // the call may write into it
  writable.push_back(L'\0');
  PROCESS_INFORMATION started = {};
  if (!CreateProcessW(nullptr, writable.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr, nullptr,
                      &info, &started)) {
    keepSystemMessage(call.engine, GetLastError());
    return std::nullopt;
  }
  return std::optional<Started>(std::in_place, started);
}

// The first top-level, non-pop-up window of the thread.
BOOL CALLBACK takeMainWindow(HWND window, LPARAM found) {
  if (!IsWindow(window) || (GetWindowLongW(window, GWL_STYLE) & WS_POPUP) || GetParent(window)) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

// A program can report itself idle before its first window is made (Wine does, as its start-up
// peeks at the queue), so a windowed program that is still running is looked at a little longer.
HWND mainWindowOf(const Started& started, bool idle) {
  for (DWORD waited = 0;; waited += kWindowPoll) {
    HWND found = nullptr;
    EnumThreadWindows(started.threadId, takeMainWindow, reinterpret_cast<LPARAM>(&found));
    if (found || !idle || waited >= kWindowGrace) return found;
    if (WaitForSingleObject(started.process.get(), kWindowPoll) == WAIT_OBJECT_0) return nullptr;
  }
}

// Waits for the process while the thread's messages keep flowing: the screensaver's wake-up input
// still reaches the main window, and once its close is under way the wait ends (the program is
// left running).
void waitPumping(HANDLE process) {
  for (;;) {
    DWORD woke = MsgWaitForMultipleObjectsEx(1, &process, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (woke != WAIT_OBJECT_0 + 1) return;  // the process ended, or the wait failed
    if (!hostobjects::processMessages()) return;
  }
}

}  // namespace

void run(HostCall& call) {
  call.result->setNull();
  std::optional<Started> started = start(call);
  if (!started) return;
  bool idle = WaitForInputIdle(started->process.get(), kInputIdleWait) == 0;
  HWND found = mainWindowOf(*started, idle);
  if (found) *call.result = hostobjects::newWindowObject(call.engine, found);
}

void runAndWait(HostCall& call) {
  HWND focus = GetFocus();
  std::optional<Started> started = start(call);
  if (!started) return;
  waitPumping(started->process.get());
  if (HWND main = mainWindowHandle()) SetActiveWindow(main);
  if (focus && IsWindow(focus)) SetFocus(focus);
}

}  // namespace vexil::shell
