#include "host/app/settings_loader.h"

namespace vexil::app {

SettingsOrigin loadRunSettings(package::PackageSettings& settings, const package::ResourceSource& resources,
                               SettingsProfile& profile, const std::string& tempDir) {
  settings = package::PackageSettings();
  auto stamp = resources.readRaw("CS", "LUMARC");
  auto storedStamp = profile.read(kStampValue);
  bool current = stamp && storedStamp && *stamp == *storedStamp;
  if (current) {
    auto stored = profile.read(kOptionsValue);
    if (stored && package::loadSettings(settings, *stored, tempDir)) return SettingsOrigin::Stored;
  }

  if (auto packaged = package::decodeResource(resources, "ST", "LUMARC")) {
    package::loadSettings(settings, *packaged, tempDir);
  }
  // The options go first and the stamp after them, so that a run started in between never pairs
  // the new stamp with options made from another package.
  storeRunSettings(settings, profile);
  if (stamp && !current) profile.write(kStampValue, *stamp);
  return SettingsOrigin::Package;
}

bool storeRunSettings(const package::PackageSettings& settings, SettingsProfile& profile) {
  return profile.write(kOptionsValue, package::storeSettings(settings));
}

bool storeConfirmedSettings(const package::PackageSettings& settings, const package::ResourceSource& resources,
                            SettingsProfile& profile) {
  if (!storeRunSettings(settings, profile)) return false;
  auto stamp = resources.readRaw("CS", "LUMARC");
  return !stamp || profile.write(kStampValue, *stamp);
}

}  // namespace vexil::app
