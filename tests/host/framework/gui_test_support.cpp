#include "tests/host/framework/gui_test_support.h"

#include <algorithm>

#include "platform/environment.h"
#include "platform/file_system.h"
#include "platform/win32/wide_text.h"

namespace vexil::testing {

std::wstring windowsPathOf(const std::string& unixPath) {
  std::string path = unixPath;
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
  std::replace(path.begin(), path.end(), '/', '\\');
  return platform::toWide(path);
}

std::wstring playerDllPath() { return windowsPathOf(VEXIL_PLAYER_DLL); }

bool pumpUntil(const std::function<bool()>& condition) {
  constexpr DWORD kQuietLimitMs = 20000;
  DWORD lastActivity = GetTickCount();
  while (!condition()) {
    MSG msg;
    if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        PostQuitMessage(int(msg.wParam));  // leave it for the caller's own loop
        return condition();
      }
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
      lastActivity = GetTickCount();
      continue;
    }
    if (GetTickCount() - lastActivity > kQuietLimitMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
  }
  return true;
}

ScratchMovie::ScratchMovie(const std::vector<uint8_t>& bytes) {
  std::string directory = platform::environmentVariable("TEMP").value_or(platform::windowsDirectory());
  std::string path = directory + "\\" + platform::newGuidText() + ".swf";
  platform::writeWholeFile(path, bytes.data(), bytes.size());
  path_ = platform::toWide(path);
}

ScratchMovie::~ScratchMovie() { platform::deleteFile(platform::toAnsi(path_)); }

}  // namespace vexil::testing
