#pragma once
// A registry value's data as bytes, and the rules that turn them into script values and back. The
// bytes are those of the wide registry calls: text types hold UTF-16 units, so names and texts
// outside the code page survive; the binary types (REG_NONE, REG_BINARY, REG_LINK) keep one byte
// per character of the code page, as scripts that pack bytes into a string expect.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vexil::objects::registry {

enum RegistryType : uint32_t {
  kRegNone = 0,
  kRegSz = 1,
  kRegExpandSz = 2,
  kRegBinary = 3,
  kRegDword = 4,
  kRegDwordBigEndian = 5,
  kRegLink = 6,
  kRegMultiSz = 7,
  kRegResourceList = 8,
  kRegQword = 11,
};

using RegistryBytes = std::vector<uint8_t>;

// What a value's data reads as: nothing (undefined), a text, an integer or a list of texts.
struct DecodedData {
  enum class Kind { Absent, Text, Integer, List } kind = Kind::Absent;
  std::u16string text;
  int64_t integer = 0;
  std::vector<std::u16string> list;
};

DecodedData decodeRegistryData(uint32_t type, std::span<const uint8_t> bytes);

// True for the types whose strings are kept as code-page bytes rather than UTF-16 units.
bool isByteTextType(uint32_t type);

// Appends a string in the type's text form; with a terminator, one zero unit (or byte) after it.
void appendText(RegistryBytes& bytes, uint32_t type, std::u16string_view text, bool terminated);
// An integer: 8 little-endian bytes for REG_QWORD, 4 big-endian ones for REG_DWORD_BIG_ENDIAN,
// else the low 32 bits little-endian.
void appendInteger(RegistryBytes& bytes, uint32_t type, int64_t value);
void appendReal(RegistryBytes& bytes, double value);

// The bytes as written: a REG_SZ or REG_EXPAND_SZ ends in one zero unit, a REG_MULTI_SZ in two, so
// that no reader runs past the data; other types are written as they are.
RegistryBytes bytesForWrite(uint32_t type, std::span<const uint8_t> bytes);

}  // namespace vexil::objects::registry
