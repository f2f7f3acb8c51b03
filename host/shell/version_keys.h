#pragma once
// The version resource as getFileVersionInfo shows it: the fixed numbers as 64-bit integers, the
// first translation as one number, and the standard string keys under the property names scripts
// read them by.
#include <cstdint>
#include <string>

namespace vexil::shell {

struct VersionKey {
  const char* property;  // the result object's property
  const char* key;       // the string table's key
};

inline constexpr VersionKey kVersionKeys[] = {
    {"comments", "Comments"},
    {"companyName", "CompanyName"},
    {"fileDescription", "FileDescription"},
    {"fileVersion", "FileVersion"},
    {"internalName", "InternalName"},
    {"legalCopyright", "LegalCopyright"},
    {"legalTrademarks", "LegalTrademarks"},
    {"originalFilename", "OriginalFilename"},
    {"privateBuild", "PrivateBuild"},
    {"productName", "ProductName"},
    {"productVersion", "ProductVersion"},
    {"specialBuild", "SpecialBuild"},
};

// The fixed block's size when it is whole; a shorter one carries no numbers.
inline constexpr uint32_t kFixedVersionSize = 52;

// The most significant pair of words in the high half.
inline int64_t versionNumber(uint32_t mostSignificant, uint32_t leastSignificant) {
  return static_cast<int64_t>((uint64_t(mostSignificant) << 32) | leastSignificant);
}

// A translation entry (language, code page) as one number, as the string table names it.
inline uint32_t translationNumber(uint16_t language, uint16_t codePage) { return uint32_t(language) << 16 | codePage; }

// The sub-block of a string: "\StringFileInfo\040904B0\CompanyName".
std::u16string versionStringPath(uint32_t translation, const char* key);

}  // namespace vexil::shell
