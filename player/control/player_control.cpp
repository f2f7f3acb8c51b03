#include "player/control/player_control.h"

#include <algorithm>
#include <new>

#include "platform/text_case.h"
#include "platform/text_encoding.h"
#include "player/control/control_ids.h"
#include "platform/win32/dll_module.h"
#include "platform/file_system.h"
#include "player/swf/frame_layout.h"
#include "player/swf/movie_text.h"
#include "player/swf/swf_error.h"
#include "player/swf/swf_reader.h"

namespace vexil::control {
namespace {

constexpr uint32_t kDefaultBackground = 0xFFFFFF;
constexpr UINT kFastestFrameMs = 10;
constexpr UINT kSlowestFrameMs = 60'000;

COLORREF toColorRef(uint32_t rgb) { return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string percentDecode(std::string_view text, bool plusIsSpace) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 && hexValue(text[i + 2]) >= 0) {
      out += static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
      i += 2;
    } else {
      out += plusIsSpace && text[i] == '+' ? ' ' : text[i];
    }
  }
  return out;
}

bool isAbsolutePath(std::string_view path) {
  return (path.size() >= 2 && path[1] == ':') || (!path.empty() && (path[0] == '\\' || path[0] == '/'));
}

// A movie address as a local file path: file URLs are decoded, relative paths are taken from the
// base directory. Other URL schemes have no file; the stand-in does not download.
std::optional<std::string> moviePath(const std::string& url, const std::string& base) {
  constexpr std::string_view kFileScheme = "file:";
  std::string path = url;
  if (platform::equalsIgnoringAsciiCase(std::string_view(url).substr(0, kFileScheme.size()), kFileScheme)) {
    std::string_view rest = std::string_view(url).substr(kFileScheme.size());
    while (rest.size() > 1 && (rest[0] == '/' || rest[0] == '\\') && (rest[1] == '/' || rest[1] == '\\')) rest.remove_prefix(1);
    // "/C:/dir" keeps no leading slash before the drive.
    if (rest.size() > 2 && (rest[0] == '/' || rest[0] == '\\') && rest[2] == ':') rest.remove_prefix(1);
    path = percentDecode(rest, false);
  } else if (url.find("://") != std::string::npos) {
    return std::nullopt;
  }
  std::replace(path.begin(), path.end(), '/', '\\');
  if (!isAbsolutePath(path) && !base.empty()) {
    std::string directory = base;
    if (directory.back() != '\\' && directory.back() != '/') directory += '\\';
    path = directory + path;
  }
  return path;
}

}  // namespace

HRESULT PlayerControl::create(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  auto* control = new (std::nothrow) PlayerControl();
  if (!control) return E_OUTOFMEMORY;
  HRESULT result = control->QueryInterface(iid, object);
  control->Release();
  return result;
}

PlayerControl::PlayerControl() : window_(*this), events_(*this, kEventsIid, &IID_IDispatch) {
  platform::addModuleReference();
  CreateOleAdviseHolder(adviseHolder_.put());
}

PlayerControl::~PlayerControl() {
  window_.destroy();
  events_.disconnectAll();
  platform::releaseModuleReference();
}

STDMETHODIMP PlayerControl::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  void* found = nullptr;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, kAutomationIid)) {
    found = static_cast<IDispatch*>(this);
  } else if (IsEqualIID(iid, IID_IOleObject)) {
    found = static_cast<IOleObject*>(this);
  } else if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceObject)) {
    found = static_cast<IOleInPlaceObject*>(this);
  } else if (IsEqualIID(iid, IID_IOleInPlaceActiveObject)) {
    found = static_cast<IOleInPlaceActiveObject*>(this);
  } else if (IsEqualIID(iid, IID_IOleControl)) {
    found = static_cast<IOleControl*>(this);
  } else if (IsEqualIID(iid, IID_IViewObject) || IsEqualIID(iid, IID_IViewObject2)) {
    found = static_cast<IViewObject2*>(this);
  } else if (IsEqualIID(iid, IID_IPersist) || IsEqualIID(iid, IID_IPersistStreamInit)) {
    found = static_cast<IPersistStreamInit*>(this);
  } else if (IsEqualIID(iid, IID_IPersistPropertyBag)) {
    found = static_cast<IPersistPropertyBag*>(this);
  } else if (IsEqualIID(iid, IID_IConnectionPointContainer)) {
    found = static_cast<IConnectionPointContainer*>(this);
  } else if (IsEqualIID(iid, IID_IProvideClassInfo) || IsEqualIID(iid, IID_IProvideClassInfo2)) {
    found = static_cast<IProvideClassInfo2*>(this);
  }
  *object = found;
  if (!found) return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) PlayerControl::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }

STDMETHODIMP_(ULONG) PlayerControl::Release() {
  LONG count = InterlockedDecrement(&references_);
  if (count == 0) delete this;
  return static_cast<ULONG>(count);
}

bool PlayerControl::loadMovie(const std::string& url) {
  player_.unload();
  std::optional<std::string> path = moviePath(url, settings_.base);
  bool loaded = false;
  if (path) {
    auto bytes = platform::readWholeFile(platform::utf16ToAnsi(platform::utf8ToUtf16(*path)));
    swf::ReadResult result = bytes ? swf::readMovie(*bytes) : swf::ReadResult{std::nullopt, swf::kErrorCannotOpen};
    display_ = result.ok() ? render::MovieDisplay::load(*bytes) : nullptr;
    player_.setClipHost(display_.get());
    contentChanged_ = true;
    if (result.ok()) {
      withEvents([&] {
        player_.setLoop(settings_.loop);
        player_.load(std::move(*result.movie), url);
        applyFlashVars();
        if (display_) display_->runQueuedActions(player_);
      });
      loaded = true;
    }
  }
  restartFrameTimer();
  window_.invalidate();
  return loaded;
}

// "name=value&name=value", URL-encoded, become variables of the main timeline.
void PlayerControl::applyFlashVars() {
  std::string_view vars = settings_.flashVars;
  while (!vars.empty()) {
    size_t end = std::min(vars.find('&'), vars.size());
    std::string_view pair = vars.substr(0, end);
    size_t equals = pair.find('=');
    if (equals != std::string_view::npos && equals > 0) {
      player_.setVariable(percentDecode(pair.substr(0, equals), true), percentDecode(pair.substr(equals + 1), true));
    }
    vars.remove_prefix(std::min(end + 1, vars.size()));
  }
}

void PlayerControl::deliverCommands() {
  // A sink that calls back into the control queues further commands; the outermost delivery
  // hands them out in order, so sinks are never re-entered from inside a running frame.
  if (delivering_) return;
  delivering_ = true;
  AddRef();  // a sink may drop the last outside reference while we still loop
  while (player_.hasCommands()) {
    for (const swf::FsCommandEvent& event : player_.takeCommands()) fireFsCommand(events_, event.command, event.argument);
  }
  delivering_ = false;
  Release();
}

void PlayerControl::restartFrameTimer() {
  const swf::Movie* movie = player_.movie();
  if (!movie) {
    window_.setFrameInterval(0);
    return;
  }
  double fps = movie->header.framesPerSecond();
  UINT interval = fps > 0 ? static_cast<UINT>(std::clamp(1000.0 / fps, double{kFastestFrameMs}, double{kSlowestFrameMs}))
                          : kFastestFrameMs;
  window_.setFrameInterval(interval);
}

uint32_t PlayerControl::effectiveBackground() const {
  if (settings_.backgroundColor) return *settings_.backgroundColor;
  if (const swf::Movie* movie = player_.movie(); movie && movie->backgroundColor) return *movie->backgroundColor;
  return kDefaultBackground;
}

// The movie's frame, placed by the scale mode and alignment, is filled with the background colour;
// what the frame does not cover is black.
void PlayerControl::paint(HDC dc, const RECT& bounds) {
  HBRUSH background = CreateSolidBrush(toColorRef(effectiveBackground()));
  const swf::Movie* movie = player_.movie();
  if (!movie) {
    FillRect(dc, &bounds, background);
    DeleteObject(background);
    return;
  }
  if (display_) {
    DeleteObject(background);
    drawMovie(dc, bounds);
    return;
  }
  FillRect(dc, &bounds, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  const swf::TwipsRect& rect = movie->header.frameRect;
  swf::PixelRect frame = swf::frameLayout(swf::twipsToPixels(rect.xMax - rect.xMin),
                                          swf::twipsToPixels(rect.yMax - rect.yMin), bounds.right - bounds.left,
                                          bounds.bottom - bounds.top, settings_.scaleMode, settings_.alignMode);
  RECT area{bounds.left + frame.left, bounds.top + frame.top, bounds.left + frame.right, bounds.top + frame.bottom};
  FillRect(dc, &area, background);
  DeleteObject(background);
}

// Draws the frame again only when the movie or what it is drawn for changed, then copies it to the
// window in one call (no background erase, so nothing flickers).
void PlayerControl::drawMovie(HDC dc, const RECT& bounds) {
  DrawnFor wanted{bounds.right - bounds.left, bounds.bottom - bounds.top, settings_.scaleMode, settings_.alignMode,
                  settings_.quality, settings_.backgroundColor};
  if (wanted.width <= 0 || wanted.height <= 0) return;
  bool frameMoved = display_->followFrame(player_.currentFrame());
  if (frameMoved || contentChanged_ || !(wanted == drawnFor_)) {
    if (frame_.width != wanted.width || frame_.height != wanted.height) frame_ = render::Bitmap(wanted.width, wanted.height);
    // Low and auto-low quality draw hard edges.
    bool antiAlias = settings_.quality != 0 && settings_.quality != 2;
    display_->render(frame_, {settings_.scaleMode, settings_.alignMode, antiAlias, settings_.backgroundColor, 0x000000});
    drawnFor_ = wanted;
    contentChanged_ = false;
  }
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = frame_.width;
  info.bmiHeader.biHeight = -frame_.height;  // rows top to bottom, as the frame keeps them
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  SetDIBitsToDevice(dc, bounds.left, bounds.top, frame_.width, frame_.height, 0, 0, 0, frame_.height,
                    frame_.pixels.data(), &info, DIB_RGB_COLORS);
}

// Repaints only when a frame changed: the main timeline moved or a sprite advanced.
void PlayerControl::frameTimer() {
  bool changed = false;
  withEvents([&] {
    changed = display_ && display_->advanceSprites();
    size_t before = player_.currentFrame();
    player_.tick();
    changed = changed || player_.currentFrame() != before;
    // Sprites that entered frames run those frames' actions.
    if (display_) changed = display_->runQueuedActions(player_) || changed;
  });
  if (changed) {
    contentChanged_ = true;
    window_.invalidate();
  }
}

STDMETHODIMP PlayerControl::EnumConnectionPoints(IEnumConnectionPoints** points) {
  if (!points) return E_POINTER;
  *points = new (std::nothrow) platform::ConnectionPointEnumerator({&events_});
  return *points ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP PlayerControl::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
  if (!point) return E_POINTER;
  *point = nullptr;
  // Generic sinks that only know IDispatch find the event point under that name too.
  if (!events_.serves(iid) && !IsEqualIID(iid, IID_IDispatch)) return CONNECT_E_NOCONNECTION;
  *point = &events_;
  events_.AddRef();
  return S_OK;
}

STDMETHODIMP PlayerControl::GetClassInfo(ITypeInfo** info) { return typeLibrary_.typeInfo(kControlClsid, info); }

STDMETHODIMP PlayerControl::GetGUID(DWORD kind, GUID* guid) {
  if (!guid) return E_POINTER;
  if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) return E_INVALIDARG;
  *guid = kEventsIid;
  return S_OK;
}

}  // namespace vexil::control
