#include "script/compiler/compiled_script.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "platform/file_system.h"

namespace vexil::script {
namespace {

uint32_t littleWord(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// A cursor over one section that answers false instead of reading past its end.
class SectionCursor {
 public:
  explicit SectionCursor(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  bool atEnd() const { return pos_ == bytes_.size(); }
  size_t remaining() const { return bytes_.size() - pos_; }
  bool byte(uint8_t& out) {
    if (remaining() < 1) return false;
    out = bytes_[pos_++];
    return true;
  }
  bool bigWord(uint32_t& out) {
    if (remaining() < 4) return false;
    const uint8_t* p = bytes_.data() + pos_;
    out = uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
    pos_ += 4;
    return true;
  }
  bool bigLong(uint64_t& out) {
    uint32_t high = 0, low = 0;
    if (!bigWord(high) || !bigWord(low)) return false;
    out = uint64_t(high) << 32 | low;
    return true;
  }
  bool raw(size_t count, const uint8_t*& out) {
    if (remaining() < count) return false;
    out = bytes_.data() + pos_;
    pos_ += count;
    return true;
  }
  // A 0-terminated name.
  bool name(std::string& out) {
    const void* end = std::memchr(bytes_.data() + pos_, 0, remaining());
    if (!end) return false;
    const auto* stop = static_cast<const uint8_t*>(end);
    out.assign(reinterpret_cast<const char*>(bytes_.data() + pos_), size_t(stop - (bytes_.data() + pos_)));
    pos_ = size_t(stop - bytes_.data()) + 1;
    return true;
  }
  // A big-endian byte count followed by that many bytes of UTF-16LE.
  bool utf16(std::u16string& out) {
    uint32_t count = 0;
    const uint8_t* p = nullptr;
    if (!bigWord(count) || count % 2 != 0 || !raw(count, p)) return false;
    out.resize(count / 2);
    for (size_t i = 0; i < out.size(); ++i) out[i] = char16_t(p[2 * i] | p[2 * i + 1] << 8);
    return true;
  }

 private:
  std::span<const uint8_t> bytes_;
  size_t pos_ = 0;
};

template <typename T>
std::optional<T> fail(std::string* error, const char* text) {
  if (error) *error = text;
  return std::nullopt;
}

bool decodeConstant(SectionCursor& in, ConstantEntry& entry) {
  uint8_t kind = 0;
  if (!in.byte(kind)) return false;
  entry.kind = ConstantKind(kind);
  switch (entry.kind) {
    case ConstantKind::Kind1:
    case ConstantKind::Kind13:
      return true;
    case ConstantKind::Boolean: {
      uint8_t b = 0;
      if (!in.byte(b)) return false;
      entry.integer = b;
      return true;
    }
    case ConstantKind::Integer: {
      uint64_t v = 0;
      if (!in.bigLong(v)) return false;
      entry.integer = int64_t(v);
      return true;
    }
    case ConstantKind::Real: {
      const uint8_t* p = nullptr;
      if (!in.raw(8, p)) return false;
      uint64_t bits = 0;
      for (int i = 7; i >= 0; --i) bits = bits << 8 | p[i];
      std::memcpy(&entry.real, &bits, 8);
      return true;
    }
    case ConstantKind::String:
      return in.utf16(entry.text);
    case ConstantKind::Name:
      return in.name(entry.name);
    case ConstantKind::RegExp:
      return in.byte(entry.regexpFlags) && in.utf16(entry.text);
  }
  return false;
}

}  // namespace

const CompiledSection* CompiledScript::find(SectionType type) const {
  for (const auto& section : sections)
    if (section.type == uint8_t(type)) return &section;
  return nullptr;
}

std::span<const uint8_t> CompiledScript::bytesOf(SectionType type) const {
  const CompiledSection* section = find(type);
  return section ? std::span<const uint8_t>(section->bytes) : std::span<const uint8_t>();
}

size_t skipInterpreterLine(std::span<const uint8_t> data) {
  if (data.empty() || data[0] != '#') return 0;
  const void* newline = std::memchr(data.data(), '\n', data.size());
  return newline ? size_t(static_cast<const uint8_t*>(newline) - data.data()) + 1 : data.size();
}

bool hasCompiledMagic(std::span<const uint8_t> data) {
  data = data.subspan(skipInterpreterLine(data));
  return data.size() >= 4 && std::memcmp(data.data(), kCompiledMagic, 4) == 0;
}

std::optional<CompiledScript> readCompiledScript(std::span<const uint8_t> data) {
  data = data.subspan(skipInterpreterLine(data));
  if (data.size() < 8 || std::memcmp(data.data(), kCompiledMagic, 4) != 0) return std::nullopt;
  CompiledScript script;
  for (size_t at = 4;; at += 12) {
    if (data.size() - at < 4) return std::nullopt;
    uint32_t tag = littleWord(data.data() + at);
    if (tag == kSectionListEnd) break;
    if (data.size() - at < 12) return std::nullopt;
    uint32_t offset = littleWord(data.data() + at + 4);
    uint32_t size = littleWord(data.data() + at + 8);
    if (offset > data.size() || size > data.size() - offset) return std::nullopt;
    script.sections.push_back({uint8_t(tag & 0xFF), {data.begin() + offset, data.begin() + offset + size}});
  }
  return script;
}

std::optional<CompiledScript> readCompiledFile(const std::string& path) {
  auto bytes = platform::readWholeFile(path);
  if (!bytes) return std::nullopt;
  return readCompiledScript(*bytes);
}

std::optional<std::vector<ConstantEntry>> decodeConstants(std::span<const uint8_t> bytes, std::string* error) {
  SectionCursor in(bytes);
  std::vector<ConstantEntry> entries;
  while (!in.atEnd()) {
    ConstantEntry entry;
    if (!decodeConstant(in, entry)) return fail<std::vector<ConstantEntry>>(error, "bad constant");
    entries.push_back(std::move(entry));
  }
  return entries;
}

std::optional<std::vector<FunctionEntry>> decodeFunctionTable(std::span<const uint8_t> bytes,
                                                             std::string* error) {
  SectionCursor in(bytes);
  uint32_t count = 0;
  if (!in.bigWord(count)) return fail<std::vector<FunctionEntry>>(error, "missing function count");
  // Each entry takes at least five bytes, so a count beyond that is a lie and allocates nothing.
  if (count > in.remaining() / 5) return fail<std::vector<FunctionEntry>>(error, "function count too large");
  std::vector<FunctionEntry> entries(count);
  for (auto& entry : entries)
    if (!in.name(entry.name) || !in.bigWord(entry.offset))
      return fail<std::vector<FunctionEntry>>(error, "truncated function entry");
  return entries;
}

std::optional<DebugInfo> decodeDebugInfo(std::span<const uint8_t> bytes, std::string* error) {
  SectionCursor in(bytes);
  DebugInfo info;
  while (!in.atEnd()) {
    uint8_t kind = 0;
    in.byte(kind);
    if (kind == 1) {
      uint32_t length = 0;
      const uint8_t* p = nullptr;
      if (!in.bigWord(length) || !in.raw(length, p)) return fail<DebugInfo>(error, "truncated source name");
      info.sourceName = std::string(reinterpret_cast<const char*>(p), length);
    } else if (kind == 2) {
      DebugInfo::Line line{};
      if (!in.bigWord(line.offset) || !in.bigWord(line.line)) return fail<DebugInfo>(error, "truncated line record");
      info.lines.push_back(line);
    } else {
      return fail<DebugInfo>(error, "unknown debug record");
    }
  }
  return info;
}

}  // namespace vexil::script
