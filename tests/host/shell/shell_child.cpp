// The Shell tests' own child program, started by the scripts and the shell-side checks:
//   shell_child write FILE TEXT CODE     writes TEXT to FILE, exits with CODE
//   shell_child sleep MS PIDFILE DONEFILE  writes its process id, sleeps, then writes DONEFILE
//   shell_child window MS                shows a top-level window for MS milliseconds
//   shell_child link LNK TARGET ARGS     writes a shell link through the system's own link object
// Its version resource (shell_child.rc) is what getFileVersionInfo is compared with.
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

bool writeFile(const char* path, const std::string& text) {
  FILE* file = std::fopen(path, "wb");
  if (!file) return false;
  std::fwrite(text.data(), 1, text.size(), file);
  return std::fclose(file) == 0;
}

int showWindow(DWORD milliseconds) {
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"ShellChildWindow";
  RegisterClassW(&windowClass);
  HWND window = CreateWindowExW(0, L"ShellChildWindow", L"shell child window", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10,
                                10, 200, 100, nullptr, nullptr, windowClass.hInstance, nullptr);
  if (!window) return 2;
  DWORD end = GetTickCount() + milliseconds;
  while (GetTickCount() < end) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }
  DestroyWindow(window);
  return 0;
}

std::wstring wide(const char* text) { return std::wstring(text, text + std::strlen(text)); }

int writeLink(const char* path, const char* target, const char* arguments) {
  CoInitialize(nullptr);
  IShellLinkW* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&link)))) {
    return 2;
  }
  link->SetPath(wide(target).c_str());
  link->SetArguments(wide(arguments).c_str());
  link->SetDescription(L"written by the system");
  link->SetHotkey(MAKEWORD(VK_F7, HOTKEYF_CONTROL | HOTKEYF_SHIFT));
  IPersistFile* file = nullptr;
  HRESULT saved = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
  if (SUCCEEDED(saved)) {
    saved = file->Save(wide(path).c_str(), TRUE);
    file->Release();
  }
  link->Release();
  CoUninitialize();
  return SUCCEEDED(saved) ? 0 : 3;
}

}  // namespace

int main(int argc, char** argv) {
  std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "write" && argc == 5) return writeFile(argv[2], argv[3]) ? std::atoi(argv[4]) : 2;
  if (mode == "sleep" && argc == 5) {
    if (!writeFile(argv[3], std::to_string(GetCurrentProcessId()))) return 2;
    Sleep(DWORD(std::atol(argv[2])));
    return writeFile(argv[4], "done") ? 0 : 2;
  }
  if (mode == "window" && argc == 3) return showWindow(DWORD(std::atol(argv[2])));
  if (mode == "link" && argc == 5) return writeLink(argv[2], argv[3], argv[4]);
  std::fprintf(stderr, "usage: shell_child write|sleep|window|link ...\n");
  return 1;
}
