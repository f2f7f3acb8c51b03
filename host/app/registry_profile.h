#pragma once
// The application's per-user profile in the registry:
// HKEY_CURRENT_USER\Software\<company key>\<profile name>\<section>.
#include <string>

#include "host/app/settings_loader.h"

namespace vexil::app {

class RegistryProfile : public SettingsProfile {
 public:
  RegistryProfile(std::string registryKey, std::string profileName, std::string section = kSettingsSection);
  std::optional<std::vector<uint8_t>> read(const char* value) const override;
  bool write(const char* value, const std::vector<uint8_t>& bytes) override;
  const std::wstring& keyPath() const { return keyPath_; }

 private:
  std::wstring keyPath_;
};

}  // namespace vexil::app
