#pragma once
// The small preview drawn inside the Display control panel: the application icon, the first
// movie, or the package's preview movie or picture, as the settings record's preview mode says.
// Where the mode asks for the icon and the package has an About picture, the picture is shown
// instead, scaled to fit: it is what the saver's maker chose to show people.
#include <string>

#include "host/framework/control_site.h"
#include "host/framework/window.h"
#include "host/mainwnd/package_context.h"
#include "platform/win32/unique_handle.h"

namespace vexil::mainwnd {

inline constexpr UINT kPreviewPlayerId = 0xFFFF;
inline constexpr int kApplicationIconId = 128;
inline constexpr const wchar_t* kPreviewWindowClass = L"VexilPreviewWnd";

// The preview modes of the settings record.
inline constexpr uint32_t kPreviewIcon = 0;
inline constexpr uint32_t kPreviewFirstMovie = 1;

class PreviewWnd : public framework::Window {
 public:
  explicit PreviewWnd(PackageContext context, platform::UniqueBitmap aboutPicture = {})
      : context_(context), aboutPicture_(std::move(aboutPicture)) {}
  ~PreviewWnd() override { player_.destroy(); }

  // A visible child covering the client area of the given window.
  bool createIn(HWND parent);
  bool showsMovie() const { return player_.exists(); }

 protected:
  LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  LRESULT onCreate();
  LRESULT onSize(LPARAM lParam);
  LRESULT onPaint();
  LRESULT onDestroy();
  void paintIcon(HDC dc, const RECT& client);
  void paintPicture(HDC dc, const RECT& client);
  void paintAboutPicture(HDC dc, const RECT& client);
  std::string attachedPath() const;

  PackageContext context_;
  framework::ControlSite player_;
  std::string picturePath_;
  platform::UniqueBitmap aboutPicture_;
};

}  // namespace vexil::mainwnd
