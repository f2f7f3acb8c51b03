#include "host/app/runtime_app.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>

#include "host/app/app_texts.h"
#include "host/app/movie_choice.h"
#include "host/app/player_provisioning.h"
#include "host/app/registry_profile.h"
#include "host/package/about_picture.h"
#include "host/mainwnd/engine_script_runner.h"
#include "host/app/settings_loader.h"
#include "host/hostobjects/host_context.h"
#include "host/mainwnd/player_identity.h"
#include "host/package/temp_directory.h"
#include "host/settings/hyperlink_control.h"
#include "host/settings/settings_sheet.h"
#include "platform/file_system.h"
#include "platform/win32/wide_text.h"

namespace vexil::app {
namespace {

using platform::toAnsi;
using platform::toWide;

std::wstring executablePath() {
  wchar_t path[MAX_PATH];
  DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  return std::wstring(path, length < MAX_PATH ? length : 0);
}

// The executable's name without directory or extension.
std::string applicationName() {
  std::string path = toAnsi(executablePath());
  size_t slash = path.find_last_of("\\/");
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  size_t dot = name.find_last_of('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

std::vector<std::string> ansiArguments(const std::vector<std::wstring>& arguments) {
  std::vector<std::string> result;
  for (const auto& argument : arguments) result.push_back(toAnsi(argument));
  return result;
}

}  // namespace

RuntimeApp::RuntimeApp(ScriptRunnerFactory makeRunner) : makeRunner_(std::move(makeRunner)) {}

RuntimeApp::~RuntimeApp() {
  cleanUp();
  mainwnd::setFailureLog(nullptr);
}

bool RuntimeApp::InitInstance() {
  std::vector<std::string> arguments = ansiArguments(this->arguments());
  RunMode mode = chooseRunMode(arguments);
  if (mode == RunMode::Install) {
    SystemParametersInfoW(SPI_SETSCREENSAVEACTIVE, TRUE, nullptr, SPIF_SENDWININICHANGE);
    installAsScreensaver(executablePath());
    installOnly_ = true;
    return true;
  }
  if (!prepareApplication()) return false;
  errorLog_ = openErrorLog(identity_, arguments.empty() ? std::string_view() : std::string_view(arguments[0]));
  mainwnd::setFailureLog(errorLog_.get());
  switch (mode) {
    case RunMode::Preview: {
      auto parent = previewParent(arguments);
      if (parent) {
        platform::UniqueBitmap picture(static_cast<HBITMAP>(package::loadAboutPicture(resources_, tempDir_)));
        preview_ = std::make_unique<mainwnd::PreviewWnd>(mainwnd::PackageContext{&movies_, &settings_}, std::move(picture));
      }
      if (parent && preview_->createIn(reinterpret_cast<HWND>(static_cast<intptr_t>(*parent)))) {
        setMainWindow(preview_.get());
      }
      return true;
    }
    case RunMode::FullScreen:
      return startFullScreen();
    case RunMode::Configure:
      showSettings(configureOwner(arguments));
      return true;
    default:
      return true;
  }
}

// The settings dialog; OK stores the edited record where the next run looks first.
void RuntimeApp::showSettings(std::optional<long> owner) {
  settings::SheetInput input;
  input.settings = &settings_;
  for (const auto& entry : movies_.entries) {
    if (entry.kind != package::kEntryMovie) continue;
    input.firstMovie = entry.path;
    break;
  }
  input.packagePicture = package::extractAboutPicture(resources_, tempDir_);
  input.playerFile = [this] { return toWide(providePlayer(resources_, tempDir_, bridge_->runner())); };
  if (owner) input.owner = reinterpret_cast<HWND>(static_cast<intptr_t>(*owner));
  if (!settings::showSettingsSheet(instance(), input)) return;
  RegistryProfile profile(identity_.registryKey, identity_.profileName);
  storeConfirmedSettings(settings_, resources_, profile);
}

bool RuntimeApp::prepareApplication() {
  enableControlContainer();
  settings::registerHyperlinkClass(instance());
  if (!loadIdentity()) return false;
  auto temp = package::createTempDirectory();
  if (!temp) return false;
  tempDir_ = *temp;
  cleanedUp_ = false;
  loadPackage();
  return true;
}

bool RuntimeApp::loadIdentity() {
  appName_ = applicationName();
  auto identity = package::readIdentity(resources_, appName_);
  if (!identity) {
    std::string caption = appName_;
    std::replace(caption.begin(), caption.end(), '\\', ' ');
    MessageBoxW(nullptr, toWide(package::kInvalidApplicationData).c_str(), toWide(caption).c_str(),
                MB_OK | MB_ICONERROR);
    return false;
  }
  identity_ = *identity;
  return true;
}

void RuntimeApp::loadPackage() {
  RegistryProfile profile(identity_.registryKey, identity_.profileName);
  loadRunSettings(settings_, resources_, profile, tempDir_);
  package::loadMovieList(movies_, resources_, tempDir_, platform::directoryOf(toAnsi(executablePath())));
  auto runner = makeRunner_ ? makeRunner_() : nullptr;
  bridge_ = std::make_unique<mainwnd::ScriptBridge>(resources_, std::move(runner));

  hostobjects::HostContext& context = hostobjects::hostContext();
  context.app = this;
  context.settings = &settings_;
  context.movies = &movies_;
  context.tempDir = tempDir_;
  context.bridge = bridge_.get();
}

bool RuntimeApp::startFullScreen() {
  mainwnd::MainWindowServices services;
  services.providePlayer = [this] { return providePlayer(resources_, tempDir_, bridge_->runner()); };
  services.sessionEnding = [this] { sessionEnding(); };
  services.messageCaption = toWide(identity_.profileName);
  mainWnd_ = std::make_unique<mainwnd::CMainWnd>(mainwnd::PackageContext{&movies_, &settings_}, *bridge_,
                                                 std::move(services));
  hostobjects::hostContext().mainWnd = mainWnd_.get();
  if (!mainWnd_->createFullScreen()) return false;

  accelerators_.reset(LoadAcceleratorsW(instance(), MAKEINTRESOURCEW(kAcceleratorTableId)));
  autorunRestore_ = setCDAutoRun(!(settings_.options & package::kOptionDisableCDAutoRun));
  autorunChanged_ = true;
  setMainWindow(mainWnd_.get());
  if (!bridge_->runStartupScript()) return false;
  startPlaying();
  return true;
}

void RuntimeApp::startPlaying() {
  mainwnd::PlayerControl& player = mainWnd_->player();
  player.setScaleMode(settings_.options & package::kOptionNoScale ? mainwnd::kScaleNoScale : mainwnd::kScaleExactFit);
  std::srand(unsigned(std::time(nullptr)));
  auto hooked = bridge_->runner().callHook(mainwnd::ScriptHook::GetMovie);
  std::string movie = chooseMovie(movies_, hooked, [] { return std::rand(); });
  if (SUCCEEDED(player.setMovie(movie))) bridge_->runner().movieLoaded(movie);
  if (settings_.options & package::kOptionBackgroundColor) {
    uint32_t c = settings_.backgroundColor;  // bytes red, green, blue, 0
    player.setBackgroundColor((c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF));
  }
  if (settings_.options & package::kOptionMuteSpeakers) speakers_.mute();
  HWND window = mainWnd_->handle();
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  SetForegroundWindow(window);
  SetFocus(window);
}

int RuntimeApp::ExitInstance() {
  if (installOnly_) return WinApp::ExitInstance();
  setMainWindow(nullptr);
  // Scripts see no main window from here on; the script host goes with the bridge below.
  hostobjects::hostContext() = {};
  mainWnd_.reset();
  preview_.reset();
  cleanUp();
  bridge_.reset();
  mainwnd::setFailureLog(nullptr);
  return WinApp::ExitInstance();
}

void RuntimeApp::cleanUp() {
  if (cleanedUp_ || tempDir_.empty()) return;
  cleanedUp_ = true;
  movies_.entries.clear();
  if (autorunChanged_) setCDAutoRun(autorunRestore_ != 0);
  autorunChanged_ = false;
  speakers_.restore();
  releasePlayerFile();
  package::deleteTempDirectory(tempDir_);
}

// The package's player stays loaded after its controls are gone; let go of it so that its file
// can be removed.
void RuntimeApp::releasePlayerFile() {
  std::wstring path = toWide(tempDir_ + kPlayerFileName);
  if (!platform::fileExists(tempDir_ + kPlayerFileName)) return;
  for (int loads = 0; loads < 64; ++loads) {
    HMODULE module = GetModuleHandleW(path.c_str());
    if (!module) break;
    FreeLibrary(module);
  }
}

// The process ends once the session does, without returning to the message loop: release the
// player and clean up now.
void RuntimeApp::sessionEnding() {
  if (mainWnd_) mainWnd_->player().destroyControl();
  if (bridge_) bridge_->shutDown();
  cleanUp();
}

bool RuntimeApp::PreTranslateMessage(MSG& msg) {
  if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST && accelerators_ && mainWnd_ && mainWnd_->handle()) {
    if (TranslateAcceleratorW(mainWnd_->handle(), accelerators_.get(), &msg)) return true;
  }
  return WinApp::PreTranslateMessage(msg);
}

bool RuntimeApp::OnIdle(long count) {
  if (mainWnd_ && mainWnd_->hasQueuedScripts()) {
    if (mainWnd_->runQueuedScript()) return true;
  }
  return WinApp::OnIdle(count);
}

}  // namespace vexil::app
