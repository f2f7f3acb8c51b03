#pragma once
// The package's identity resource ("ID"): a UTF-16LE text ending in NUL, then 32 bytes the
// packager keeps for itself. The text names where per-user options live: "Company/Profile", or
// just "Company" with the application's own name as the profile.
#include <optional>
#include <span>
#include <string>

#include "host/package/resource_source.h"

namespace vexil::package {

inline constexpr const char* kInvalidApplicationData = "Invalid application data";
inline constexpr size_t kIdentityReservedBytes = 32;

struct AppIdentity {
  std::string text;         // ANSI
  std::string registryKey;  // the company key under HKEY_CURRENT_USER\Software
  std::string profileName;
};

// Nothing when the resource is 32 bytes or shorter: the application data is invalid then.
std::optional<AppIdentity> parseIdentity(std::span<const uint8_t> resource, const std::string& appName);
std::optional<AppIdentity> readIdentity(const ResourceSource& source, const std::string& appName);

}  // namespace vexil::package
