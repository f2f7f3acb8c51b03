#include "objects/registry/registry_data.h"

#include <cstring>

#include "platform/text_encoding.h"

namespace vexil::objects::registry {

namespace {

// The UTF-16 units of the data; an odd last byte is no unit and is dropped.
std::u16string unitsOf(std::span<const uint8_t> bytes) {
  std::u16string units(bytes.size() / 2, u'\0');
  for (size_t i = 0; i < units.size(); ++i) units[i] = char16_t(bytes[2 * i] | (bytes[2 * i + 1] << 8));
  return units;
}

std::u16string upToZero(std::u16string units) {
  size_t zero = units.find(u'\0');
  if (zero != std::u16string::npos) units.resize(zero);
  return units;
}

// The zero-separated strings, ending at the first empty one (the list's terminator) or at the
// end of the data when the terminators are missing.
std::vector<std::u16string> listOf(const std::u16string& units) {
  std::vector<std::u16string> list;
  size_t start = 0;
  while (start < units.size()) {
    size_t zero = units.find(u'\0', start);
    size_t end = zero == std::u16string::npos ? units.size() : zero;
    if (end == start) break;
    list.emplace_back(units.substr(start, end - start));
    start = end + 1;
  }
  return list;
}

void appendUnit(RegistryBytes& bytes, char16_t unit) {
  bytes.push_back(uint8_t(unit & 0xFF));
  bytes.push_back(uint8_t(unit >> 8));
}

}  // namespace

bool isByteTextType(uint32_t type) { return type == kRegNone || type == kRegBinary || type == kRegLink; }

DecodedData decodeRegistryData(uint32_t type, std::span<const uint8_t> bytes) {
  DecodedData data;
  if (bytes.empty()) return data;
  switch (type) {
    case kRegSz:
    case kRegExpandSz:
    case kRegResourceList:
      data.kind = DecodedData::Kind::Text;
      data.text = upToZero(unitsOf(bytes));
      break;
    case kRegNone:
    case kRegBinary:
    case kRegLink:
      data.kind = DecodedData::Kind::Text;
      data.text = platform::ansiToUtf16(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
      break;
    case kRegDword:
      if (bytes.size() < 4) break;
      data.kind = DecodedData::Kind::Integer;
      data.integer = int64_t(uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
                             uint32_t(bytes[3]) << 24);
      break;
    case kRegDwordBigEndian:
      if (bytes.size() < 4) break;
      data.kind = DecodedData::Kind::Integer;
      data.integer = int64_t(uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 |
                             uint32_t(bytes[3]));
      break;
    case kRegQword: {
      if (bytes.size() < 8) break;
      uint64_t v = 0;
      for (int i = 7; i >= 0; --i) v = v << 8 | bytes[size_t(i)];
      data.kind = DecodedData::Kind::Integer;
      data.integer = int64_t(v);
      break;
    }
    case kRegMultiSz:
      data.kind = DecodedData::Kind::List;
      data.list = listOf(unitsOf(bytes));
      break;
    default:
      break;
  }
  return data;
}

void appendText(RegistryBytes& bytes, uint32_t type, std::u16string_view text, bool terminated) {
  if (isByteTextType(type)) {
    std::string ansi = platform::utf16ToAnsi(text);
    bytes.insert(bytes.end(), ansi.begin(), ansi.end());
    if (terminated) bytes.push_back(0);
    return;
  }
  if (bytes.size() % 2) bytes.push_back(0);  // keep the units aligned after packed bytes
  for (char16_t unit : text) appendUnit(bytes, unit);
  if (terminated) appendUnit(bytes, u'\0');
}

void appendInteger(RegistryBytes& bytes, uint32_t type, int64_t value) {
  uint64_t v = uint64_t(value);
  if (type == kRegQword) {
    for (int i = 0; i < 8; ++i) bytes.push_back(uint8_t(v >> (8 * i)));
  } else if (type == kRegDwordBigEndian) {
    for (int i = 3; i >= 0; --i) bytes.push_back(uint8_t(v >> (8 * i)));
  } else {
    for (int i = 0; i < 4; ++i) bytes.push_back(uint8_t(v >> (8 * i)));
  }
}

void appendReal(RegistryBytes& bytes, double value) {
  uint8_t raw[8];
  std::memcpy(raw, &value, 8);
  bytes.insert(bytes.end(), raw, raw + 8);
}

RegistryBytes bytesForWrite(uint32_t type, std::span<const uint8_t> bytes) {
  RegistryBytes out(bytes.begin(), bytes.end());
  size_t zeros = type == kRegMultiSz ? 2 : (type == kRegSz || type == kRegExpandSz) ? 1 : 0;
  if (!zeros) return out;
  if (out.size() % 2) out.push_back(0);
  auto endsInZeroUnits = [&](size_t n) {
    if (out.size() < 2 * n) return false;
    for (size_t i = out.size() - 2 * n; i < out.size(); ++i) {
      if (out[i]) return false;
    }
    return true;
  };
  // A list's last string needs its own terminator and then the list's.
  while (!endsInZeroUnits(zeros)) appendUnit(out, u'\0');
  return out;
}

}  // namespace vexil::objects::registry
