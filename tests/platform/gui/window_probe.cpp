// A window for the GUI harness test: a solid colour at a known place, which exits with code 0
// when it receives the Esc key and 3 if nothing arrives within 20 seconds.
#include <windows.h>

#include <cstdio>

namespace {

constexpr COLORREF kColour = RGB(0x33, 0x66, 0x99);
constexpr UINT_PTR kTimeoutTimer = 1;

LRESULT CALLBACK probeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_KEYDOWN:
      if (wParam == VK_ESCAPE) PostQuitMessage(0);
      return 0;
    case WM_TIMER:
      PostQuitMessage(3);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(4);
      return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int main() {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW wc{};
  wc.lpfnWndProc = probeProc;
  wc.hInstance = instance;
  wc.hbrBackground = CreateSolidBrush(kColour);
  wc.lpszClassName = L"VexilWindowProbe";
  RegisterClassW(&wc);
  HWND window = CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"Vexil window probe", WS_POPUP | WS_VISIBLE,
                                100, 100, 200, 150, nullptr, nullptr, instance, nullptr);
  if (!window) return 2;
  SetForegroundWindow(window);
  SetFocus(window);
  UpdateWindow(window);
  SetTimer(window, kTimeoutTimer, 20000, nullptr);
  std::printf("shown\n");
  std::fflush(stdout);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return int(msg.wParam);
}
