#pragma once
// The player as the main window hosts it: the control site with the control, and the control's
// own window, subclassed for the screensaver's wake-up rules and cursor hiding.
#include <optional>
#include <string>

#include "host/framework/control_site.h"
#include "host/framework/window.h"
#include "host/mainwnd/wake_up_rules.h"
#include "host/package/package_settings.h"

namespace vexil::mainwnd {

class ScriptBridge;

class PlayerControl : public framework::Window {
 public:
  PlayerControl(const package::PackageSettings& settings, ScriptBridge& bridge)
      : settings_(settings), bridge_(bridge) {}
  ~PlayerControl() override { destroyControl(); }

  // Creates the control as a visible child of the main window: from the player file when one is
  // given, else the registered control.
  HRESULT createControl(const std::wstring& playerFile, const framework::ControlPlacement& placement,
                        framework::ControlEvents* events);
  void destroyControl();

  IDispatch* dispatch() const { return site_.dispatch(); }
  void move(const RECT& bounds) { site_.move(bounds); }
  HRESULT setMovie(const std::string& path);
  HRESULT setScaleMode(int mode);
  HRESULT setBackgroundColor(uint32_t rgb);

 protected:
  LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  LRESULT onSetCursor(WPARAM wParam, LPARAM lParam);
  LRESULT onMouseMove(WPARAM wParam, LPARAM lParam);
  LRESULT onButtonDown(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT onKeyDown(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT onSysCommand(WPARAM wParam, LPARAM lParam);
  // Ends the screensaver when the rule says so; otherwise the message goes on to the movie.
  LRESULT applyWakeUpRule(UserAction action, UINT message, WPARAM wParam, LPARAM lParam, uint16_t key = 0);
  HRESULT putNamedProperty(const wchar_t* name, VARIANT value);

  const package::PackageSettings& settings_;
  ScriptBridge& bridge_;
  framework::ControlSite site_;
  MouseOrigin mouseOrigin_;
};

}  // namespace vexil::mainwnd
