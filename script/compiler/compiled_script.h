#pragma once
// A compiled script in memory and the readers of the "VS1b" format.
//
// The file is the magic, a list of (tag word, offset, size) triples ended by 0xFFFFFFFF, and the
// sections they point at. A first line beginning with "#" (an interpreter line) is skipped. Every
// offset and size is checked against the data: a section that passes the end rejects the file.
// The section decoders below check every count and length against their section the same way, so
// tools and the loader can walk a file from anywhere without trusting it.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vexil::script {

inline constexpr char kCompiledMagic[4] = {'V', 'S', '1', 'b'};
inline constexpr uint32_t kSectionListEnd = 0xFFFFFFFFu;
inline constexpr uint32_t kCompiledHeaderSize = 56;
inline constexpr char kMainFunctionName[] = ".main";

enum class SectionType : uint8_t { Code = 0, Constants = 1, Functions = 2, Debug = 3 };

struct CompiledSection {
  uint8_t type = 0;  // the low byte of its tag word
  std::vector<uint8_t> bytes;
};

struct CompiledScript {
  std::vector<CompiledSection> sections;
  // Set by the loader on the first load into an engine: later runs reuse the same constants.
  const void* loadedEngine = nullptr;
  uint32_t constantBase = 0;

  // The first section of that type, or null.
  const CompiledSection* find(SectionType type) const;
  std::span<const uint8_t> bytesOf(SectionType type) const;
};

// Skips an interpreter line ("#..." through its newline); returns the offset of what follows.
size_t skipInterpreterLine(std::span<const uint8_t> data);
// True when the data (after an optional "#" line) starts with the magic.
bool hasCompiledMagic(std::span<const uint8_t> data);

std::optional<CompiledScript> readCompiledScript(std::span<const uint8_t> data);
std::optional<CompiledScript> readCompiledFile(const std::string& path);

// Constants section entries.
enum class ConstantKind : uint8_t {
  Kind1 = 1,  // no payload
  Boolean = 2,
  Integer = 3,
  String = 4,
  Real = 5,
  Name = 10,
  RegExp = 11,
  Kind13 = 13,  // no payload
};

struct ConstantEntry {
  ConstantKind kind{};
  int64_t integer = 0;       // Integer; Boolean's byte
  double real = 0;           // Real
  std::u16string text;       // String and RegExp pattern (from UTF-16LE)
  std::string name;          // Name
  uint8_t regexpFlags = 0;   // RegExp: g = 1, i = 2, m = 4
};

struct FunctionEntry {
  std::string name;
  uint32_t offset = 0;
};

struct DebugInfo {
  std::optional<std::string> sourceName;  // the kind-1 record
  struct Line {
    uint32_t offset;  // code offset just past an instruction
    uint32_t line;
  };
  std::vector<Line> lines;  // the kind-2 records, in file order
};

// Decoders of the sections. Each answers nothing for a truncated or malformed section (and, for
// constants, an unknown kind); `error` (when given) says what was wrong.
std::optional<std::vector<ConstantEntry>> decodeConstants(std::span<const uint8_t> bytes,
                                                         std::string* error = nullptr);
std::optional<std::vector<FunctionEntry>> decodeFunctionTable(std::span<const uint8_t> bytes,
                                                             std::string* error = nullptr);
std::optional<DebugInfo> decodeDebugInfo(std::span<const uint8_t> bytes, std::string* error = nullptr);

}  // namespace vexil::script
