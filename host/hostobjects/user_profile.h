#pragma once
// The application's per-user profile strings (readProfile, writeProfile):
// HKEY_CURRENT_USER\Software\<company key>\<profile name>\<section>, as the package's identity
// names them. A program without an identity (the console runner) uses the key "Vexil" and its
// own name as the profile.
#include <optional>
#include <string>

namespace vexil::hostobjects {

// Nothing when the entry is absent or empty.
std::optional<std::string> readProfileString(const std::string& section, const std::string& entry);
bool writeProfileString(const std::string& section, const std::string& entry, const std::string& value);

}  // namespace vexil::hostobjects
