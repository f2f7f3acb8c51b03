#pragma once
// Key paths as scripts write them ("HKCU\Software\Vexil"): the root abbreviations, the split of a
// path into root and subkey, and the access rights the create method's index chooses. Portable,
// so the Windows class only maps a root to its handle.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vexil::objects::registry {

enum class RegistryRoot { ClassesRoot, CurrentConfig, CurrentUser, LocalMachine, Users, PerformanceData, DynData };

// A path split at its first backslash: a root when the part before it is a root abbreviation,
// and the subkey below the root (or below the object's own key when there is no root).
struct KeyPath {
  std::optional<RegistryRoot> root;
  std::u16string_view subkey;
};

// The root an abbreviation names ("HKCU", any case); none for anything else.
std::optional<RegistryRoot> rootOfAbbreviation(std::u16string_view word);
// A path without any backslash never names a root, so a root alone cannot be opened this way.
KeyPath splitKeyPath(std::u16string_view path);

inline constexpr uint32_t kKeyAllAccess = 0xF003F;
// The access rights of create's index (0-9); KEY_ALL_ACCESS when absent or out of range.
uint32_t accessOfIndex(std::optional<int64_t> index);

}  // namespace vexil::objects::registry
