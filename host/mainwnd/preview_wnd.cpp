#include "host/mainwnd/preview_wnd.h"

#include "host/mainwnd/player_identity.h"
#include "platform/text_case.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"

namespace vexil::mainwnd {
namespace {

bool hasExtension(const std::string& path, const char* extension) {
  return platform::endsWithIgnoringAsciiCase(path, extension);
}

// Centred in a direction where the picture is smaller than the window, stretched where not.
void fit(LONG picture, LONG window, LONG& offset, LONG& extent) {
  offset = picture < window ? (window - picture) / 2 : 0;
  extent = picture < window ? picture : window;
}

}  // namespace

bool PreviewWnd::createIn(HWND parent) {
  RECT client{};
  if (!parent || !GetClientRect(parent, &client)) return false;
  framework::WindowCreation creation;
  creation.className = kPreviewWindowClass;
  creation.classStyle = CS_HREDRAW | CS_VREDRAW;
  creation.background = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  creation.style = WS_CHILD | WS_VISIBLE;
  creation.bounds = client;
  creation.parent = parent;
  return create(creation);
}

LRESULT PreviewWnd::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: return onCreate();
    case WM_SIZE: return onSize(lParam);
    case WM_PAINT: return onPaint();
    case WM_DESTROY: return onDestroy();
    default: return defaultProc(message, wParam, lParam);
  }
}

std::string PreviewWnd::attachedPath() const {
  const package::PackageSettings& settings = *context_.settings;
  if (settings.previewMode == kPreviewFirstMovie) {
    return context_.movies->entries.empty() ? std::string() : context_.movies->entries.front().path;
  }
  return settings.previewFile.value_or("");
}

LRESULT PreviewWnd::onCreate() {
  if (context_.settings->previewMode == kPreviewIcon) return 0;
  std::string path = attachedPath();
  if (hasExtension(path, ".swf")) {
    RECT client;
    GetClientRect(handle(), &client);
    for (const CLSID* clsid : kPlayerClasses) {
      if (SUCCEEDED(player_.createByClsid(*clsid, {handle(), kPreviewPlayerId, client}))) break;
    }
    VARIANT movie;
    VariantInit(&movie);
    movie.vt = VT_BSTR;
    movie.bstrVal = SysAllocString(platform::toWide(path).c_str());
    player_.putProperty(kDispidMovie, movie);
    VariantClear(&movie);
  } else if (context_.settings->previewMode > kPreviewFirstMovie && hasExtension(path, ".bmp")) {
    picturePath_ = path;
  }
  return 0;
}

LRESULT PreviewWnd::onSize(LPARAM lParam) {
  player_.move({0, 0, LOWORD(lParam), HIWORD(lParam)});
  return 0;
}

LRESULT PreviewWnd::onPaint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(handle(), &paint);
  RECT client;
  GetClientRect(handle(), &client);
  if (context_.settings->previewMode == kPreviewIcon && aboutPicture_) {
    paintAboutPicture(dc, client);
  } else if (context_.settings->previewMode == kPreviewIcon) {
    paintIcon(dc, client);
  } else if (!picturePath_.empty()) {
    paintPicture(dc, client);
  }
  EndPaint(handle(), &paint);
  return 0;
}

void PreviewWnd::paintIcon(HDC dc, const RECT& client) {
  HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kApplicationIconId));
  if (!icon) return;
  int x = (client.right - GetSystemMetrics(SM_CXICON)) / 2;
  int y = (client.bottom - GetSystemMetrics(SM_CYICON)) / 2;
  DrawIcon(dc, x, y, icon);
}

void PreviewWnd::paintPicture(HDC dc, const RECT& client) {
  platform::UniqueBitmap bitmap(static_cast<HBITMAP>(
      LoadImageW(nullptr, platform::toWide(picturePath_).c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE)));
  BITMAP info{};
  if (!bitmap || !GetObjectW(bitmap.get(), sizeof info, &info)) return;
  HDC memory = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(memory, bitmap.get());
  LONG x, y, width, height;
  fit(info.bmWidth, client.right, x, width);
  fit(info.bmHeight, client.bottom, y, height);
  SetStretchBltMode(dc, HALFTONE);
  StretchBlt(dc, x, y, width, height, memory, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
  SelectObject(memory, old);
  DeleteDC(memory);
}

// Scaled to the largest size that fits with its proportions kept, centred on the black background.
void PreviewWnd::paintAboutPicture(HDC dc, const RECT& client) {
  BITMAP info{};
  if (!GetObjectW(aboutPicture_.get(), sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight <= 0) return;
  LONG width = client.right, height = MulDiv(client.right, info.bmHeight, info.bmWidth);
  if (height > client.bottom) {
    height = client.bottom;
    width = MulDiv(client.bottom, info.bmWidth, info.bmHeight);
  }
  HDC memory = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(memory, aboutPicture_.get());
  SetStretchBltMode(dc, HALFTONE);
  StretchBlt(dc, (client.right - width) / 2, (client.bottom - height) / 2, width, height, memory, 0, 0, info.bmWidth,
             info.bmHeight, SRCCOPY);
  SelectObject(memory, old);
  DeleteDC(memory);
}

LRESULT PreviewWnd::onDestroy() {
  player_.destroy();
  return 0;
}

}  // namespace vexil::mainwnd
