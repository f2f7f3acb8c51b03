// Test helper: runs a screensaver with its own temporary directory, so a test can see that every
// file it unpacked is gone afterwards.   saver_launcher TEMPDIR PROGRAM [ARGS...]
// With "--preview" as the first argument after TEMPDIR, it also makes a parent window, starts the
// program as "/p <handle>", reports the preview child, and closes the parent when the test says so.
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
  int first = preview ? 3 : 2;
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
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  std::printf("exit %lu\n", code);
  return int(code);
}
