#include "host/mainwnd/main_wnd.h"

#include "host/mainwnd/player_identity.h"
#include "platform/win32/wide_text.h"

namespace vexil::mainwnd {
namespace {

// An event argument as text; nothing when it is missing or not convertible.
std::optional<std::string> textArgument(const VARIANT& argument) {
  if (argument.vt == VT_BSTR) {
    if (!argument.bstrVal) return std::nullopt;
    return platform::toAnsi(std::wstring_view(argument.bstrVal, SysStringLen(argument.bstrVal)));
  }
  VARIANT text;
  VariantInit(&text);
  if (FAILED(VariantChangeType(&text, const_cast<VARIANT*>(&argument), 0, VT_BSTR)) || !text.bstrVal) return std::nullopt;
  std::string result = platform::toAnsi(std::wstring_view(text.bstrVal, SysStringLen(text.bstrVal)));
  VariantClear(&text);
  return result;
}

}  // namespace

CMainWnd::CMainWnd(PackageContext context, ScriptBridge& bridge, MainWindowServices services)
    : context_(context), bridge_(bridge), services_(std::move(services)), player_(*context.settings, bridge) {}

CMainWnd::~CMainWnd() {
  // The player goes before the window it lives in.
  destroyPlayer();
}

void CMainWnd::destroyPlayer() {
  scriptControls_.clear();
  player_.destroyControl();
}

bool CMainWnd::createFullScreen() {
  framework::WindowCreation creation;
  creation.className = kMainWindowClass;
  creation.classStyle = CS_HREDRAW | CS_VREDRAW;
  creation.background = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  creation.style = 0;  // borderless: no frame of any kind
  creation.bounds = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (!create(creation)) return false;
  modalWakeUp_ = std::make_unique<ModalWakeUp>(*context_.settings, handle());
  return true;
}

void CMainWnd::preCreateWindow(framework::WindowCreation& creation) {
  creation.style = (creation.style & ~WS_CAPTION) | WS_POPUP | WS_VISIBLE;
}

LRESULT CMainWnd::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: return onCreate();
    case WM_SIZE: return onSize(lParam);
    case WM_ACTIVATEAPP: return onActivateApp(wParam);
    case WM_CLOSE:
    case framework::kCloseMessage: close(); return 0;
    case WM_SETFOCUS: return onSetFocus();
    case WM_COMMAND: return onCommand(wParam, lParam);
    case WM_QUERYENDSESSION: return TRUE;
    case WM_ENDSESSION: return onEndSession(wParam);
    case WM_DESTROY: return onDestroy();
    default: return defaultProc(message, wParam, lParam);
  }
}

LRESULT CMainWnd::onCreate() {
  std::string playerFile = services_.providePlayer ? services_.providePlayer() : std::string();
  framework::ControlPlacement placement{handle(), kPlayerControlId, {0, 0, 0, 0}};
  if (SUCCEEDED(player_.createControl(platform::toWide(playerFile), placement, this))) return 0;

  // Without a player the start-up script still runs: it may explain the failure its own way and
  // return false to keep the message back.
  if (bridge_.runStartupScript()) {
    std::wstring text = platform::toWide(kFailedToLoadPlayer);
    MessageBoxW(nullptr, text.c_str(), services_.messageCaption.c_str(), MB_OK | MB_ICONERROR);
  }
  return -1;
}

LRESULT CMainWnd::onSize(LPARAM lParam) {
  player_.move({0, 0, LOWORD(lParam), HIWORD(lParam)});
  return 0;
}

LRESULT CMainWnd::onActivateApp(WPARAM wParam) {
  if (!wParam) PostMessageW(handle(), WM_CLOSE, 0, 0);
  return 0;
}

// Keys go to the player's window, where the wake-up rules are.
LRESULT CMainWnd::onSetFocus() {
  if (HWND player = player_.handle()) SetFocus(player);
  return 0;
}

LRESULT CMainWnd::onCommand(WPARAM wParam, LPARAM lParam) {
  UINT id = LOWORD(wParam);
  if (id >= kFirstMenuCommand && id <= kLastMenuCommand && bridge_.runner().hostExists()) {
    ScriptBridge::Nested nested(bridge_);
    bridge_.runner().menuCommand(id);
  }
  return defaultProc(WM_COMMAND, wParam, lParam);
}

LRESULT CMainWnd::onEndSession(WPARAM wParam) {
  if (wParam && services_.sessionEnding) services_.sessionEnding();
  return 0;
}

LRESULT CMainWnd::onDestroy() {
  modalWakeUp_.reset();
  bridge_.shutDown();
  destroyPlayer();
  return 0;
}

void CMainWnd::close() {
  if (!IsWindowEnabled(handle())) return;
  ShowOwnedPopups(handle(), FALSE);
  ShowWindow(handle(), SW_HIDE);
  if (bridge_.nesting() > 0) {
    PostMessageW(handle(), WM_CLOSE, 0, 0);
    return;
  }
  bridge_.quitScripts();
  bridge_.runner().closeTrace();
  destroyPlayer();
  destroy();
  PostQuitMessage(0);
}

bool CMainWnd::runQueuedScript() {
  if (asyncQueue_.empty()) return false;
  std::string name = std::move(asyncQueue_.front());
  asyncQueue_.pop_front();
  {
    ScriptBridge::Nested nested(bridge_);
    bridge_.runPackagedScript(name);
  }
  return !asyncQueue_.empty();
}

void CMainWnd::quitScripts(const std::string&) { bridge_.quitScripts(); }
void CMainWnd::runPackagedScript(const std::string& name) { bridge_.runPackagedScript(name); }
void CMainWnd::queueScript(const std::string& name) { asyncQueue_.push_back(name); }
void CMainWnd::evaluate(const std::string& source) { bridge_.evaluate(source); }
void CMainWnd::runScriptFile(const std::string& path) { bridge_.runFile(path); }

void CMainWnd::execute(const std::string& commandLine) { WinExec(commandLine.c_str(), SW_SHOWNORMAL); }

void CMainWnd::onControlEvent(DISPID id, const DISPPARAMS& parameters) {
  if (id != kDispidFsCommand || parameters.cArgs < 2) return;
  // Automation passes the last argument first: command, then argument.
  std::optional<std::string> command = textArgument(parameters.rgvarg[parameters.cArgs - 1]);
  if (!command) return;
  std::string argument = textArgument(parameters.rgvarg[parameters.cArgs - 2]).value_or("");
  ScriptBridge::Nested nested(bridge_);
  dispatchFsCommand(*this, *command, argument);
}

}  // namespace vexil::mainwnd
