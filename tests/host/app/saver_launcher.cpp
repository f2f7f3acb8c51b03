// Test helper: runs a screensaver with its own temporary directory, so a test can see that every
// file it unpacked is gone afterwards.   saver_launcher TEMPDIR PROGRAM [ARGS...]
// With "--preview" as the first argument after TEMPDIR, it also makes a parent window, starts the
// program as "/p <handle>", reports the preview child, and closes the parent when the test says so.
// With "--endsession" instead, it ends the session under the running screensaver: once its window
// is up it sends WM_QUERYENDSESSION and WM_ENDSESSION, reports whether TEMPDIR is already empty
// (the system ends the process right after, so clean-up cannot wait), then ends the process as
// the system would.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

HWND makeParent() {
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = L"VexilPreviewParent";
  RegisterClassW(&wc);
  return CreateWindowExW(0, wc.lpszClassName, L"Vexil preview parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 50, 50,
                         320, 240, nullptr, nullptr, wc.hInstance, nullptr);
}

struct WindowSearch {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK matchMainWindow(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<WindowSearch*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  if (owner != search->processId || std::wstring(name) != L"CMainWnd") return TRUE;
  search->found = window;
  return FALSE;
}

bool directoryEmpty(const std::wstring& dir) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((dir + L"\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return true;
  bool empty = true;
  do {
    std::wstring name = data.cFileName;
    if (name != L"." && name != L"..") empty = false;
  } while (empty && FindNextFileW(find, &data));
  FindClose(find);
  return empty;
}

// Ends the session under the process and reports what it left behind.
void endSession(const PROCESS_INFORMATION& process, const std::wstring& tempDir) {
  WindowSearch search{process.dwProcessId, nullptr};
  for (int i = 0; i < 300 && !search.found; ++i) {
    EnumWindows(matchMainWindow, reinterpret_cast<LPARAM>(&search));
    if (!search.found) Sleep(50);
  }
  if (!search.found) {
    std::printf("endsession: no window\n");
    TerminateProcess(process.hProcess, 9);
    return;
  }
  Sleep(500);
  LRESULT allowed = SendMessageW(search.found, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
  SendMessageW(search.found, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
  std::printf("endsession allowed=%d temp=%s\n", allowed ? 1 : 0, directoryEmpty(tempDir) ? "empty" : "left");
  std::fflush(stdout);
  TerminateProcess(process.hProcess, 0);
}

void pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return 2;
  SetEnvironmentVariableW(L"TMP", argv[1]);
  SetEnvironmentVariableW(L"TEMP", argv[1]);
  bool preview = std::wstring(argv[2]) == L"--preview";
  bool endsession = std::wstring(argv[2]) == L"--endsession";
  int first = preview || endsession ? 3 : 2;
  if (argc <= first) return 2;
  HWND parent = preview ? makeParent() : nullptr;
  std::wstring line = L"\"" + std::wstring(argv[first]) + L"\"";
  for (int i = first + 1; i < argc; ++i) line += L" " + std::wstring(argv[i]);
  if (preview) line += L" /p " + std::to_wstring(reinterpret_cast<intptr_t>(parent));

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    return 3;
  }
  if (preview) {
    HWND child = nullptr;
    for (int i = 0; i < 300 && !child; ++i) {
      pump();
      child = FindWindowExW(parent, nullptr, L"VexilPreviewWnd", nullptr);
      if (!child) Sleep(50);
    }
    RECT inner{}, outer{};
    if (child) GetClientRect(child, &inner);
    GetClientRect(parent, &outer);
    std::printf("preview %s %ldx%ld of %ldx%ld\n", child ? "shown" : "missing", inner.right, inner.bottom,
                outer.right, outer.bottom);
    std::fflush(stdout);
    // The test says when it has seen the preview by making TEMPDIR.close; closing the parent
    // takes its child, the preview, with it.
    std::wstring signal = std::wstring(argv[1]) + L".close";
    while (GetFileAttributesW(signal.c_str()) == INVALID_FILE_ATTRIBUTES) {
      pump();
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    DestroyWindow(parent);
  }
  if (endsession) endSession(process, argv[1]);
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  std::printf("exit %lu\n", code);
  return int(code);
}
