#include "host/settings/hyperlink_control.h"

#include <shellapi.h>


namespace vexil::settings {
namespace {

constexpr UINT kSetContent = WM_USER + 1;
constexpr COLORREF kLinkColour = RGB(0, 0, 204);

struct LinkState {
  std::wstring target;
  HFONT ownFont = nullptr;
  HFONT dialogFont = nullptr;
  DWORD value = 0;
  ~LinkState() {
    if (ownFont) DeleteObject(ownFont);
  }
};

LinkState* stateOf(HWND window) { return reinterpret_cast<LinkState*>(GetWindowLongPtrW(window, GWLP_USERDATA)); }

void paint(HWND window, LinkState& state) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  RECT area;
  GetClientRect(window, &area);
  // The page's own background (a themed page is not button-face coloured).
  auto brush = reinterpret_cast<HBRUSH>(
      SendMessageW(GetParent(window), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(window)));
  FillRect(dc, &area, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
  HFONT font = state.ownFont ? state.ownFont : state.dialogFont;
  HGDIOBJ previous = font ? SelectObject(dc, font) : nullptr;
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, kLinkColour);
  wchar_t caption[512] = {};
  GetWindowTextW(window, caption, 512);
  RECT text = area;
  DrawTextW(dc, caption, -1, &text, DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  if (GetFocus() == window) {
    DrawTextW(dc, caption, -1, &text, DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_CALCRECT);
    DrawFocusRect(dc, &text);
  }
  if (previous) SelectObject(dc, previous);
  EndPaint(window, &ps);
}

void open(LinkState& state) {
  if (!state.target.empty()) ShellExecuteW(nullptr, L"open", state.target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

LRESULT CALLBACK linkProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  LinkState* state = stateOf(window);
  switch (message) {
    case WM_NCCREATE:
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new LinkState));
      break;
    case WM_NCDESTROY:
      delete state;
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      break;
    case kSetContent: {
      const auto& content = *reinterpret_cast<const HyperlinkContent*>(lParam);
      // A link without a caption shows what it opens.
      SetWindowTextW(window, content.caption.empty() ? content.target.c_str() : content.caption.c_str());
      state->target = content.target;
      state->value = content.value;
      if (state->ownFont) DeleteObject(state->ownFont);
      state->ownFont = content.font ? CreateFontIndirectW(content.font) : nullptr;
      InvalidateRect(window, nullptr, TRUE);
      return 0;
    }
    case WM_SETFONT:
      state->dialogFont = reinterpret_cast<HFONT>(wParam);
      if (LOWORD(lParam)) InvalidateRect(window, nullptr, TRUE);
      return 0;
    case WM_PAINT:
      paint(window, *state);
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      InvalidateRect(window, nullptr, TRUE);
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTCHARS;
    case WM_CHAR:
      if (wParam == L' ' || wParam == L'\r') open(*state);
      return 0;
    case WM_LBUTTONDOWN:
      SetFocus(window);
      return 0;
    case WM_LBUTTONUP:
      open(*state);
      return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

void registerHyperlinkClass(HINSTANCE instance) {
  WNDCLASSW wc{};
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = linkProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_HAND);
  wc.lpszClassName = kHyperlinkClass;
  RegisterClassW(&wc);
}

void setHyperlink(HWND link, const HyperlinkContent& content) {
  SendMessageW(link, kSetContent, 0, reinterpret_cast<LPARAM>(&content));
}

}  // namespace vexil::settings
