#include "host/package/app_identity.h"

#include "platform/text_encoding.h"

namespace vexil::package {

std::optional<AppIdentity> parseIdentity(std::span<const uint8_t> resource, const std::string& appName) {
  if (resource.size() <= kIdentityReservedBytes) return std::nullopt;
  std::span<const uint8_t> text = resource.first(resource.size() - kIdentityReservedBytes);
  std::u16string units;
  for (size_t i = 0; i + 1 < text.size(); i += 2) {
    char16_t unit = char16_t(text[i] | text[i + 1] << 8);
    if (unit == 0) break;
    units += unit;
  }
  AppIdentity id;
  id.text = platform::utf16ToAnsi(units);
  size_t slash = id.text.find('/');
  id.registryKey = id.text.substr(0, slash);
  id.profileName = slash == std::string::npos ? appName : id.text.substr(slash + 1);
  return id;
}

std::optional<AppIdentity> readIdentity(const ResourceSource& source, const std::string& appName) {
  auto raw = source.readRaw("ID", "LUMARC");
  if (!raw) return std::nullopt;
  return parseIdentity(*raw, appName);
}

}  // namespace vexil::package
