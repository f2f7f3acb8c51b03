#pragma once
// Without a main window (the console runner) pop-up menus need an owner of their own: a one-pixel
// tool window, titled so a person (or a test) can find it, that is brought to the front where a
// pop-up opens. It stays for the engine's life as the target of the menus' accelerators, and hands
// the commands of the class's range to the engine's onCommand handler like the main window does.
#include <windows.h>

namespace vexil::script {
struct Engine;
}

namespace vexil::hostobjects {

inline constexpr wchar_t kMenuOwnerTitle[] = L"Vexil menus";

class MenuOwner {
 public:
  MenuOwner() = default;
  MenuOwner(const MenuOwner&) = delete;
  MenuOwner& operator=(const MenuOwner&) = delete;
  ~MenuOwner();

  // The window, made on first use, moved to the point and shown; null when it cannot be made.
  HWND window(script::Engine& engine, POINT at);

 private:
  HWND window_ = nullptr;
};

}  // namespace vexil::hostobjects
