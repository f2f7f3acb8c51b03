#pragma once
// Profile files ("[section]" lines followed by "key=value" lines) as DataFile reads and writes
// them itself, without the system's profile functions, so that the same text form holds on every
// build and a save can replace a variable's sections in one write. Files are written as UTF-16
// with a byte-order mark, the form the system's profile functions also read and write without
// turning characters outside the code page into "?"; UTF-8 (with its mark) and code-page files
// are read too.
#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace vexil::objects::datafile {

struct ProfileSection {
  std::u16string name;
  std::vector<std::pair<std::u16string, std::u16string>> entries;  // in file order
  // A line in the section was neither a key nor a comment: the section cannot be trusted.
  bool damaged = false;

  // The value of the first entry with that key, or null.
  const std::u16string* find(std::u16string_view key) const;
};

// The sections in file order. Lines before the first section are ignored; keys and values are
// trimmed of spaces and tabs, as the system's profile functions do.
std::vector<ProfileSection> parseProfileText(std::span<const uint8_t> bytes);
std::vector<uint8_t> writeProfileText(std::span<const ProfileSection> sections);

}  // namespace vexil::objects::datafile
