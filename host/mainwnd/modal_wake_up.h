#pragma once
// While the full-screen window lives, input that goes to a modal dialog of its thread (a script's
// message box or standard dialog, owned by the window and so above the movie) is held against the
// wake-up rules as well: a wake-up ends the dialog as cancelled and closes the window. A question
// left on the screen never keeps the screensaver running.
#include <windows.h>

#include "host/mainwnd/wake_up_rules.h"
#include "host/package/package_settings.h"

namespace vexil::mainwnd {

class ModalWakeUp {
 public:
  ModalWakeUp(const package::PackageSettings& settings, HWND window);
  ~ModalWakeUp();
  ModalWakeUp(const ModalWakeUp&) = delete;
  ModalWakeUp& operator=(const ModalWakeUp&) = delete;

 private:
  static LRESULT CALLBACK filter(int code, WPARAM wParam, LPARAM lParam);
  // Whether the message, taken from a dialog's loop, wakes the screensaver; if so the dialog is
  // ended and the window asked to close.
  bool wakes(const MSG& msg);

  const package::PackageSettings& settings_;
  HWND window_;
  HHOOK hook_ = nullptr;
  MouseOrigin mouseOrigin_;
};

}  // namespace vexil::mainwnd
