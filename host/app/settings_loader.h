#pragma once
// Where a run's settings record comes from: the per-user copy while it was made from this
// package's settings (its stamp matches), else the package's own record, which then becomes the
// per-user copy.
#include <cstdint>
#include <optional>
#include <vector>

#include "host/package/package_settings.h"
#include "host/package/resource_source.h"

namespace vexil::app {

inline constexpr const char* kSettingsSection = "SSettings";
inline constexpr const char* kOptionsValue = "Options";
inline constexpr const char* kStampValue = "crc";

// The binary values of the application's per-user profile section "SSettings".
class SettingsProfile {
 public:
  virtual ~SettingsProfile() = default;
  virtual std::optional<std::vector<uint8_t>> read(const char* value) const = 0;
  virtual bool write(const char* value, const std::vector<uint8_t>& bytes) = 0;
};

enum class SettingsOrigin { Stored, Package };

SettingsOrigin loadRunSettings(package::PackageSettings& settings, const package::ResourceSource& resources,
                               SettingsProfile& profile, const std::string& tempDir);

// The record written back as the per-user copy (after the settings dialog's OK).
bool storeRunSettings(const package::PackageSettings& settings, SettingsProfile& profile);

// The record the user confirmed, stored with the package's stamp after it so that later runs take
// the record as made from this package (without the stamp they would go back to the package's).
bool storeConfirmedSettings(const package::PackageSettings& settings, const package::ResourceSource& resources,
                            SettingsProfile& profile);

}  // namespace vexil::app
