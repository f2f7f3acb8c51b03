// Dialogs. Texts go to the wide calls as the script wrote them. A dialog that fails or is
// cancelled leaves the reason in the engine's message buffer (the common dialogs' own error code
// named, "cancelled" when the user cancelled).
#include "host/hostobjects/dialogs_class.h"

#include <windows.h>
#include <cderr.h>
#include <commdlg.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "host/hostobjects/dialog_text.h"
#include "host/hostobjects/font_object_class.h"
#include "host/hostobjects/host_context.h"
#include "host/mainwnd/main_wnd.h"
#include "platform/win32/wide_text.h"
#include "script/runtime/array_elements.h"
#include "script/runtime/conversions.h"
#include "script/runtime/host_class.h"
#include "script/runtime/runtime_error.h"
#include "script/runtime/script_string.h"

namespace vexil::hostobjects {
namespace {

using script::HostCall;
using script::Tag;
using script::Value;

constexpr char16_t kDefaultCaption[] = u"Lumarc";
constexpr DWORD kOpenFlags = OFN_ENABLESIZING | OFN_EXPLORER | OFN_HIDEREADONLY;
constexpr DWORD kSaveFlags = kOpenFlags | OFN_OVERWRITEPROMPT;
constexpr size_t kFileBuffer = 261;
constexpr size_t kMultiFileBuffer = 4096;
constexpr UINT kBrowseFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT;
constexpr UINT kBrowseFlagsAlternative = 0x1004;  // BIF_BROWSEFORCOMPUTER | BIF_STATUSTEXT

struct DialogError {
  DWORD code;
  const char* name;
};
// The common dialogs' error codes, named.
constexpr DialogError kDialogErrors[] = {
    {0, "cancelled"},
    {CDERR_DIALOGFAILURE, "the dialog could not be created"},
    {CDERR_STRUCTSIZE, "bad structure size"},
    {CDERR_INITIALIZATION, "initialization failed (out of memory?)"},
    {CDERR_NOTEMPLATE, "no template"},
    {CDERR_NOHINSTANCE, "no instance"},
    {CDERR_LOADSTRFAILURE, "a string could not be loaded"},
    {CDERR_FINDRESFAILURE, "a resource could not be found"},
    {CDERR_LOADRESFAILURE, "a resource could not be loaded"},
    {CDERR_LOCKRESFAILURE, "a resource could not be locked"},
    {CDERR_MEMALLOCFAILURE, "out of memory"},
    {CDERR_MEMLOCKFAILURE, "memory could not be locked"},
    {CDERR_NOHOOK, "no hook"},
    {CDERR_REGISTERMSGFAIL, "a message could not be registered"},
    {FNERR_SUBCLASSFAILURE, "subclassing failed"},
    {FNERR_INVALIDFILENAME, "invalid file name"},
    {FNERR_BUFFERTOOSMALL, "the file name buffer is too small"},
    {CFERR_NOFONTS, "no fonts"},
    {CFERR_MAXLESSTHANMIN, "the maximum size is less than the minimum"},
    {CCERR_CHOOSECOLORCODES, "colour dialog error"},
};

// Leaves the common dialogs' reason in the message buffer.
void keepDialogError(HostCall& call, DWORD code) {
  for (const DialogError& error : kDialogErrors) {
    if (error.code == code) {
      script::setMessage(call.engine, "%s", error.name);
      return;
    }
  }
  script::setMessage(call.engine, "common dialog error 0x%04lX", static_cast<unsigned long>(code));
}

HWND owner() {
  mainwnd::CMainWnd* window = hostContext().mainWnd;
  return window ? window->handle() : nullptr;
}

// Argument i as text for a wide call: strings only; a NUL ends it.
std::wstring wideArgument(const script::Arguments& args, uint32_t i, std::u16string_view fallback = {}) {
  std::optional<std::u16string> text = args.has(i, Tag::String) ? args.text(i) : std::nullopt;
  std::u16string_view view = text ? std::u16string_view(*text) : fallback;
  return platform::toWide(view.substr(0, view.find(u'\0')));
}

void msgBox(HostCall& call) {
  auto convert = [&](uint32_t i, std::u16string_view fallback) {
    const Value* v = call.args.at(i);
    if (!v) return platform::toWide(fallback);
    Value converted;
    script::valueToString(call.engine, *v, &converted);
    std::u16string text(converted.string()->view());
    return platform::toWide(std::u16string_view(text).substr(0, text.find(u'\0')));
  };
  std::wstring text = convert(1, u"");
  std::wstring caption = convert(2, kDefaultCaption);
  std::optional<int64_t> type = call.args.integer(3);
  call.result->setInteger(MessageBoxW(owner(), text.c_str(), caption.c_str(), UINT(type.value_or(0))));
}

// Runs an open or save dialog; the buffer grows and the dialog opens again when the answer (or the
// initial name) does not fit.
bool runFileDialog(HostCall& call, OPENFILENAMEW& dialog, std::wstring& buffer, bool save) {
  for (;;) {
    dialog.lpstrFile = buffer.data();
    dialog.nMaxFile = DWORD(buffer.size());
    BOOL ok = save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
    if (ok) return true;
    DWORD code = CommDlgExtendedError();
    if (code == FNERR_BUFFERTOOSMALL && buffer.size() < 0x10000) {
      // The first unit tells the size needed.
      size_t needed = std::max<size_t>(buffer.size() * 2, size_t(buffer[0]) + 1);
      buffer.assign(std::min<size_t>(needed, 0x10000), L'\0');
      continue;
    }
    keepDialogError(call, code);
    return false;
  }
}

struct FileDialogTexts {
  std::wstring filter, extension, buffer;
};

FileDialogTexts fileTexts(HostCall& call, size_t bufferSize) {
  FileDialogTexts texts;
  if (call.args.has(1, Tag::String)) texts.filter = platform::toWide(dialogFilter(*call.args.text(1)));
  texts.extension = wideArgument(call.args, 2);
  std::wstring initial = wideArgument(call.args, 3);
  texts.buffer.assign(std::max(bufferSize, initial.size() + 1), L'\0');
  std::copy(initial.begin(), initial.end(), texts.buffer.begin());
  return texts;
}

OPENFILENAMEW fileDialog(FileDialogTexts& texts, DWORD flags) {
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = owner();
  dialog.lpstrFilter = texts.filter.empty() ? nullptr : texts.filter.c_str();
  dialog.lpstrDefExt = texts.extension.empty() ? nullptr : texts.extension.c_str();
  dialog.Flags = flags;
  return dialog;
}

Value wideValue(script::Engine& engine, std::wstring_view text) {
  return script::makeString(engine, platform::asUtf16(text));
}

void fileOpen(HostCall& call) {
  call.result->setBoolean(false);
  bool multiple = call.args.has(4, Tag::Boolean) ? *call.args.boolean(4) : false;
  if (const Value* v = call.args.at(4); v && v->tag != Tag::Boolean) multiple = script::valueToBoolean(call.engine, *v);
  FileDialogTexts texts = fileTexts(call, multiple ? kMultiFileBuffer : kFileBuffer);
  OPENFILENAMEW dialog = fileDialog(texts, kOpenFlags | (multiple ? OFN_ALLOWMULTISELECT : 0));
  if (!runFileDialog(call, dialog, texts.buffer, false)) return;
  if (!multiple) {
    *call.result = wideValue(call.engine, texts.buffer.c_str());
    return;
  }
  std::vector<std::u16string> parts = splitMultiSelect(platform::asUtf16(texts.buffer));
  script::ArrayRecord* array = script::newArray(call.engine);
  call.result->setArray(array);
  for (size_t i = 0; i < parts.size(); ++i) {
    script::storeElement(call.engine, *array, i, script::makeString(call.engine, parts[i]));
  }
}

void fileSave(HostCall& call) {
  call.result->setBoolean(false);
  std::optional<int64_t> extra = call.args.has(4, Tag::Integer) ? call.args.integer(4) : std::nullopt;
  DWORD flags = kSaveFlags | (extra ? DWORD(*extra) & ~kRefusedSaveFlags : 0);
  FileDialogTexts texts = fileTexts(call, kFileBuffer);
  OPENFILENAMEW dialog = fileDialog(texts, flags);
  if (!runFileDialog(call, dialog, texts.buffer, true)) return;
  *call.result = wideValue(call.engine, texts.buffer.c_str());
}

void chooseColor(HostCall& call) {
  call.result->setBoolean(false);
  COLORREF custom[16] = {};
  CHOOSECOLORW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = owner();
  dialog.lpCustColors = custom;
  dialog.Flags = CC_FULLOPEN | CC_ANYCOLOR;
  if (call.args.has(1, Tag::Integer)) {
    dialog.rgbResult = swapRedBlue(uint32_t(*call.args.integer(1)));
    dialog.Flags |= CC_RGBINIT;
  }
  if (!ChooseColorW(&dialog)) {
    keepDialogError(call, CommDlgExtendedError());
    return;
  }
  call.result->setInteger(swapRedBlue(dialog.rgbResult));
}

void chooseFont(HostCall& call) {
  call.result->setNull();
  FontData font;
  if (const Value* v = call.args.at(1)) {
    if (const FontData* given = fontObjectData(*v)) font = *given;
  }
  int points = std::clamp(font.points, 0, kMaxFontPoints);
  HDC screen = GetDC(nullptr);
  int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  font.font.lfHeight = -MulDiv(points, dpi, 72);
  CHOOSEFONTW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = owner();
  dialog.lpLogFont = &font.font;
  dialog.iPointSize = points * 10;
  dialog.rgbColors = swapRedBlue(font.colour);
  dialog.Flags = CF_SCREENFONTS | CF_EFFECTS | CF_INITTOLOGFONTSTRUCT;
  if (!ChooseFontW(&dialog)) {
    keepDialogError(call, CommDlgExtendedError());
    return;
  }
  font.colour = swapRedBlue(dialog.rgbColors);
  font.points = dialog.iPointSize / 10;
  newFontObject(call.engine, call.result, font);
}

// The initial folder is selected when the dialog opens; the selected path is shown as status text.
int CALLBACK browseEvent(HWND dialog, UINT message, LPARAM parameter, LPARAM data) {
  if (message == BFFM_INITIALIZED && data) SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, data);
  if (message == BFFM_SELCHANGED) {
    wchar_t path[MAX_PATH] = {};
    if (SHGetPathFromIDListW(reinterpret_cast<LPCITEMIDLIST>(parameter), path)) {
      SendMessageW(dialog, BFFM_SETSTATUSTEXTW, 0, reinterpret_cast<LPARAM>(path));
    }
  }
  return 0;
}

void browse(HostCall& call) {
  call.result->setBoolean(false);
  std::wstring title = wideArgument(call.args, 1);
  std::wstring initial = wideArgument(call.args, 2);
  bool alternative = call.args.has(3, Tag::Boolean) && *call.args.boolean(3);
  BROWSEINFOW info{};
  info.hwndOwner = owner();
  info.lpszTitle = title.empty() ? nullptr : title.c_str();
  info.ulFlags = alternative ? kBrowseFlagsAlternative : kBrowseFlags;
  info.lpfn = browseEvent;
  info.lParam = initial.empty() ? 0 : reinterpret_cast<LPARAM>(initial.c_str());
  // The folder tree is a shell view: it needs COM on this thread.
  HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  LPITEMIDLIST chosen = SHBrowseForFolderW(&info);
  if (SUCCEEDED(com)) CoUninitialize();
  if (!chosen) {
    keepDialogError(call, 0);
    return;
  }
  wchar_t path[MAX_PATH] = {};
  bool hasPath = SHGetPathFromIDListW(chosen, path);
  CoTaskMemFree(chosen);
  if (hasPath) *call.result = wideValue(call.engine, path);
}

const script::HostMethodEntry kMethods[] = {
    {"msgBox", msgBox, true},       {"fileOpen", fileOpen, true}, {"fileSave", fileSave, true},
    {"chooseColor", chooseColor, true}, {"chooseFont", chooseFont, true}, {"browse", browse, true},
};

const script::HostClassInfo kDialogsClass = {
    .name = "Dialogs",
    .methods = kMethods,
};

}  // namespace

void registerDialogs(script::Engine& engine) { script::defineHostClass(engine, kDialogsClass); }

}  // namespace vexil::hostobjects
