#include "host/package/module_resources.h"

#include <windows.h>

#include "platform/win32/wide_text.h"

namespace vexil::package {

using platform::toWide;

std::optional<std::vector<uint8_t>> ModuleResources::readRaw(std::string_view name, std::string_view type) const {
  HMODULE module = static_cast<HMODULE>(module_);
  HRSRC found = FindResourceW(module, toWide(name).c_str(), toWide(type).c_str());
  if (!found) return std::nullopt;
  DWORD size = SizeofResource(module, found);
  HGLOBAL loaded = LoadResource(module, found);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) return std::nullopt;
  auto* bytes = static_cast<const uint8_t*>(data);
  return std::vector<uint8_t>(bytes, bytes + size);
}

}  // namespace vexil::package
