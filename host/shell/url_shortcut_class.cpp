// URLShortcut: an Internet shortcut (.url) file, through the shell's Internet shortcut object,
// loaded from its file when it exists (never resolved).
#include <windows.h>
#include <objbase.h>
#include <intshcut.h>
#include <isguids.h>

#include <memory>
#include <optional>
#include <string>

#include "host/shell/link_file.h"
#include "host/shell/shell_class.h"
#include "host/shell/shell_text.h"
#include "script/runtime/host_class.h"

namespace vexil::shell {
namespace {

using script::HostCall;
using script::Value;
using UrlShortcutData = LinkFile<IUniformResourceLocatorW>;

IUniformResourceLocatorW& locator(HostCall& call) { return *call.instance<UrlShortcutData>()->link.get(); }

void getUrl(HostCall& call) {
  LPWSTR url = nullptr;
  std::wstring text;
  if (SUCCEEDED(locator(call).GetURL(&url)) && url) text = url;
  CoTaskMemFree(url);  // the shell allocator
  *call.result = wideValue(call.engine, text);
}

void setUrl(HostCall& call, const Value& value) {
  if (std::optional<std::wstring> url = wideText(call.engine, value)) {
    locator(call).SetURL(url->c_str(), IURL_SETURL_FL_USE_DEFAULT_PROTOCOL);
  }
}

void save(HostCall& call) {
  UrlShortcutData* data = call.instance<UrlShortcutData>();
  call.result->setBoolean(saveLinkFile(data->link.get(), data->path));
}

void construct(HostCall& call) {
  std::optional<std::wstring> path = wideArgument(call.args, 1);
  if (!path || path->empty()) return;
  auto data = std::make_unique<UrlShortcutData>();
  data->path = *path;
  if (!createLink(*data, CLSID_InternetShortcut, IID_IUniformResourceLocatorW)) return;
  if (loadLinkFile(data->link.get(), data->path) == LoadResult::Refused) return;
  call.publish(std::move(data));
}

const script::HostPropertyEntry kProperties[] = {{"url", getUrl, setUrl}};
const script::HostMethodEntry kMethods[] = {{"save", save}};

const script::HostClassInfo kUrlShortcutClass = {
    .name = "URLShortcut",
    .methods = kMethods,
    .properties = kProperties,
    .construct = construct,
    .release = script::deleteInstance<UrlShortcutData>,
};

}  // namespace

void registerUrlShortcut(script::Engine& engine) { script::defineHostClass(engine, kUrlShortcutClass); }

}  // namespace vexil::shell
