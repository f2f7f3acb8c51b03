#include "objects/registry/registry_path.h"

#include <array>


namespace vexil::objects::registry {

namespace {

struct RootName {
  const char* abbreviation;
  RegistryRoot root;
};

constexpr RootName kRootNames[] = {
    {"HKCR", RegistryRoot::ClassesRoot},     {"HKCC", RegistryRoot::CurrentConfig},
    {"HKCU", RegistryRoot::CurrentUser},     {"HKLM", RegistryRoot::LocalMachine},
    {"HKU", RegistryRoot::Users},            {"HKPD", RegistryRoot::PerformanceData},
    {"HKDD", RegistryRoot::DynData},
};

// KEY_ALL_ACCESS, KEY_CREATE_LINK, KEY_CREATE_SUB_KEY, KEY_ENUMERATE_SUB_KEYS, KEY_EXECUTE,
// KEY_NOTIFY, KEY_QUERY_VALUE, KEY_READ, KEY_SET_VALUE, KEY_WRITE.
constexpr std::array<uint32_t, 10> kAccessByIndex = {kKeyAllAccess, 0x20, 0x4, 0x8, 0x20019,
                                                     0x10, 0x1, 0x20019, 0x2, 0x20006};

bool sameAsciiWord(std::u16string_view text, const char* word) {
  size_t i = 0;
  for (; word[i]; ++i) {
    if (i >= text.size()) return false;
    char16_t c = text[i];
    if (c >= u'a' && c <= u'z') c = char16_t(c - u'a' + u'A');
    if (c != char16_t(word[i])) return false;
  }
  return i == text.size();
}

}  // namespace

std::optional<RegistryRoot> rootOfAbbreviation(std::u16string_view word) {
  for (const RootName& name : kRootNames) {
    if (sameAsciiWord(word, name.abbreviation)) return name.root;
  }
  return std::nullopt;
}

KeyPath splitKeyPath(std::u16string_view path) {
  size_t slash = path.find(u'\\');
  if (slash == std::u16string_view::npos) return {std::nullopt, path};
  if (auto root = rootOfAbbreviation(path.substr(0, slash))) return {root, path.substr(slash + 1)};
  return {std::nullopt, path};
}

uint32_t accessOfIndex(std::optional<int64_t> index) {
  if (!index || *index < 0 || *index >= int64_t(kAccessByIndex.size())) return kKeyAllAccess;
  return kAccessByIndex[size_t(*index)];
}

}  // namespace vexil::objects::registry
