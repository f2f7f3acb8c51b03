// Shortcut: a shell link (.lnk) file, through the shell's link object. Every text goes through the
// wide interface, so targets, arguments and folders outside the ANSI code page are kept.
#include <windows.h>
#include <shlobj.h>

#include <memory>
#include <optional>
#include <string>

#include "host/hostobjects/hot_key_text.h"
#include "host/hostobjects/key_name.h"
#include "host/shell/icon_location.h"
#include "host/shell/link_file.h"
#include "host/shell/shell_class.h"
#include "host/shell/shell_text.h"
#include "platform/win32/wide_text.h"
#include "script/runtime/host_class.h"
#include "script/runtime/script_string.h"
#include "script/runtime/stack_roots.h"
#include "script/runtime/conversions.h"

namespace vexil::shell {
namespace {

using script::HostCall;
using script::Value;
using ShortcutData = LinkFile<IShellLinkW>;

constexpr int kTextSize = 4096;  // arguments and description
// Resolving never shows a dialog, and gives up on a target it cannot find within this time
// (milliseconds, in the flags' high word).
constexpr DWORD kResolveTimeout = 3000;
constexpr uint16_t kModifierBits = hostobjects::kHotKeyControl | hostobjects::kHotKeyShift | hostobjects::kHotKeyAlt;

IShellLinkW& link(HostCall& call) { return *call.instance<ShortcutData>()->link.get(); }

template <HRESULT (STDMETHODCALLTYPE IShellLinkW::*Get)(LPWSTR, int), int Size>
void getText(HostCall& call) {
  std::wstring text(Size, L'\0');
  if (FAILED((link(call).*Get)(text.data(), Size))) text.clear();
  text.resize(wcsnlen(text.c_str(), text.size()));
  *call.result = wideValue(call.engine, text);
}

template <HRESULT (STDMETHODCALLTYPE IShellLinkW::*Set)(LPCWSTR)>
void setText(HostCall& call, const Value& value) {
  if (std::optional<std::wstring> text = wideText(call.engine, value)) (link(call).*Set)(text->c_str());
}

void getFullName(HostCall& call) { *call.result = wideValue(call.engine, call.instance<ShortcutData>()->path); }

void getHotKey(HostCall& call) {
  WORD word = 0;
  if (FAILED(link(call).GetHotkey(&word))) word = 0;
  hostobjects::HotKey hotKey{LOBYTE(word), HIBYTE(word)};
  *call.result = script::makeStringFromAnsi(call.engine, hostobjects::hotKeyText(hotKey, hostobjects::systemKeyName));
}

// A key alone, or modifiers alone, make no hot key and leave the link's as it was.
void setHotKey(HostCall& call, const Value& value) {
  script::StackRoots roots(call.engine);
  Value* text = roots.hold();
  script::valueToString(call.engine, value, text);
  hostobjects::HotKey hotKey = hostobjects::parseHotKeyText(script::stringToAnsiText(*text->string()));
  if (hotKey.key == 0 || hotKey.key > 0xFF || (hotKey.modifiers & kModifierBits) == 0) return;
  link(call).SetHotkey(MAKEWORD(hotKey.key, hotKey.modifiers));
}

void getIconLocation(HostCall& call) {
  wchar_t path[MAX_PATH] = {};
  int index = 0;
  if (FAILED(link(call).GetIconLocation(path, MAX_PATH, &index))) path[0] = L'\0';
  *call.result = script::makeString(call.engine, iconLocationText(platform::asUtf16(path), index));
}

void setIconLocation(HostCall& call, const Value& value) {
  std::optional<std::wstring> text = wideText(call.engine, value);
  if (!text) return;
  IconLocation location = parseIconLocation(platform::asUtf16(*text));
  link(call).SetIconLocation(platform::toWide(location.path).c_str(), location.index);
}

// The target as a file-system path, from the link's item list; empty when it has none.
void getTargetPath(HostCall& call) {
  wchar_t path[MAX_PATH] = {};
  PIDLIST_ABSOLUTE items = nullptr;
  if (SUCCEEDED(link(call).GetIDList(&items)) && items) {
    if (!SHGetPathFromIDListW(items, path)) path[0] = L'\0';
    CoTaskMemFree(items);
  }
  *call.result = wideValue(call.engine, path);
}

void getWindowStyle(HostCall& call) {
  int show = 0;
  if (FAILED(link(call).GetShowCmd(&show))) show = 0;
  call.result->setInteger(show);
}

void setWindowStyle(HostCall& call, const Value& value) {
  if (value.tag == script::Tag::Integer) link(call).SetShowCmd(int(value.integer()));
}

void save(HostCall& call) {
  ShortcutData* data = call.instance<ShortcutData>();
  call.result->setBoolean(saveLinkFile(data->link.get(), data->path));
}

void construct(HostCall& call) {
  std::optional<std::wstring> path = wideArgument(call.args, 1);
  if (!path || path->empty()) return;
  auto data = std::make_unique<ShortcutData>();
  data->path = *path;
  if (!createLink(*data, CLSID_ShellLink, IID_IShellLinkW)) return;
  LoadResult loaded = loadLinkFile(data->link.get(), data->path);
  if (loaded == LoadResult::Refused) return;
  if (loaded == LoadResult::Loaded) data->link->Resolve(nullptr, SLR_NO_UI | SLR_ANY_MATCH | (kResolveTimeout << 16));
  call.publish(std::move(data));
}

const script::HostPropertyEntry kProperties[] = {
    {"arguments", getText<&IShellLinkW::GetArguments, kTextSize>, setText<&IShellLinkW::SetArguments>},
    {"description", getText<&IShellLinkW::GetDescription, kTextSize>, setText<&IShellLinkW::SetDescription>},
    {"fullName", getFullName},
    {"hotKey", getHotKey, setHotKey},
    {"iconLocation", getIconLocation, setIconLocation},
    {"targetPath", getTargetPath, setText<&IShellLinkW::SetPath>},
    {"windowStyle", getWindowStyle, setWindowStyle},
    {"workingDirectory", getText<&IShellLinkW::GetWorkingDirectory, MAX_PATH>,
     setText<&IShellLinkW::SetWorkingDirectory>},
};

const script::HostMethodEntry kMethods[] = {{"save", save}};

const script::HostClassInfo kShortcutClass = {
    .name = "Shortcut",
    .methods = kMethods,
    .properties = kProperties,
    .construct = construct,
    .release = script::deleteInstance<ShortcutData>,
};

}  // namespace

void registerShortcut(script::Engine& engine) { script::defineHostClass(engine, kShortcutClass); }

}  // namespace vexil::shell
