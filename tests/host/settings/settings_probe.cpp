// Test helper that looks at the settings dialog of another process from outside:
//   settings_probe controls            the sheet's window size and every control: id, class,
//                                      check state, visibility and text (one line each)
//   settings_probe owner TEMPDIR SCR   makes a window of its own, starts SCR as "/c:<window>" with
//                                      TEMPDIR as its temporary directory, and reports whether the
//                                      sheet is owned by that window and the window disabled while
//                                      it is open, and enabled again after the run
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

constexpr const wchar_t* kSheetCaption = L"Configurations";

void pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

HWND waitForSheet() {
  for (int i = 0; i < 300; ++i) {
    if (HWND sheet = FindWindowW(nullptr, kSheetCaption)) return sheet;
    pump();
    Sleep(50);
  }
  return nullptr;
}

BOOL CALLBACK printControl(HWND control, LPARAM) {
  wchar_t name[64] = {}, text[256] = {};
  GetClassNameW(control, name, 64);
  // WM_GETTEXT crosses processes; GetWindowText would not ask another process's control.
  SendMessageTimeoutW(control, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, nullptr);
  DWORD_PTR check = 0;
  if (_wcsicmp(name, L"Button") == 0) {
    SendMessageTimeoutW(control, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &check);
  }
  std::printf("control %d %ls %d %d %ls\n", GetDlgCtrlID(control), name, int(check), IsWindowVisible(control) ? 1 : 0,
              text);
  return TRUE;
}

int controls() {
  HWND sheet = waitForSheet();
  if (!sheet) {
    std::printf("no sheet\n");
    return 1;
  }
  RECT bounds;
  GetWindowRect(sheet, &bounds);
  std::printf("sheet %ld %ld\n", bounds.right - bounds.left, bounds.bottom - bounds.top);
  EnumChildWindows(sheet, printControl, 0);
  return 0;
}

int owner(const wchar_t* tempDir, const wchar_t* program) {
  SetEnvironmentVariableW(L"TMP", tempDir);
  SetEnvironmentVariableW(L"TEMP", tempDir);
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"VexilSettingsOwner";
  RegisterClassW(&wc);
  HWND window = CreateWindowExW(0, wc.lpszClassName, L"Vexil settings owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20,
                                20, 300, 200, nullptr, nullptr, wc.hInstance, nullptr);
  std::wstring line = L"\"" + std::wstring(program) + L"\" /c:" + std::to_wstring(reinterpret_cast<intptr_t>(window));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) return 3;
  HWND sheet = waitForSheet();
  std::printf("sheet %s owned=%d owner-enabled=%d\n", sheet ? "shown" : "missing",
              sheet && GetWindow(sheet, GW_OWNER) == window ? 1 : 0, IsWindowEnabled(window) ? 1 : 0);
  std::fflush(stdout);
  while (MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) pump();
  pump();
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  std::printf("after owner-enabled=%d exit=%lu\n", IsWindowEnabled(window) ? 1 : 0, code);
  DestroyWindow(window);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc >= 2 && std::wstring(argv[1]) == L"controls") return controls();
  if (argc >= 4 && std::wstring(argv[1]) == L"owner") return owner(argv[2], argv[3]);
  return 2;
}
