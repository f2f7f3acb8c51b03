#include "objects/datafile/profile_text.h"

#include "platform/text_encoding.h"

namespace vexil::objects::datafile {

namespace {

std::u16string decodeText(std::span<const uint8_t> bytes) {
  if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
    std::u16string units((bytes.size() - 2) / 2, u'\0');
    for (size_t i = 0; i < units.size(); ++i) units[i] = char16_t(bytes[2 + 2 * i] | bytes[3 + 2 * i] << 8);
    return units;
  }
  auto chars = [&](size_t from) {
    return std::string_view(reinterpret_cast<const char*>(bytes.data()) + from, bytes.size() - from);
  };
  if (bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
    return platform::utf8ToUtf16(chars(3));
  }
  return platform::ansiToUtf16(chars(0));
}

bool isBlank(char16_t c) { return c == u' ' || c == u'\t'; }

std::u16string_view trimmed(std::u16string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Control characters (a zero among them) never occur in a line DataFile writes.
bool hasControl(std::u16string_view line) {
  for (char16_t c : line) {
    if (c < 0x20 && c != u'\t') return true;
  }
  return false;
}

void parseLine(std::u16string_view line, std::vector<ProfileSection>& sections) {
  line = trimmed(line);
  if (line.empty() || line.front() == u';') return;
  ProfileSection* current = sections.empty() ? nullptr : &sections.back();
  if (line.front() == u'[') {
    size_t close = line.find(u']');
    sections.emplace_back();
    sections.back().name = std::u16string(trimmed(line.substr(1, close == line.npos ? line.npos : close - 1)));
    sections.back().damaged = close == line.npos || hasControl(line);
    return;
  }
  if (!current) return;
  size_t equals = line.find(u'=');
  if (equals == line.npos || hasControl(line)) {
    current->damaged = true;
    return;
  }
  current->entries.emplace_back(trimmed(line.substr(0, equals)), trimmed(line.substr(equals + 1)));
}

void appendUnits(std::vector<uint8_t>& out, std::u16string_view text) {
  for (char16_t c : text) {
    out.push_back(uint8_t(c & 0xFF));
    out.push_back(uint8_t(c >> 8));
  }
}

}  // namespace

// Keys match in any case, as the system's profile functions match them.
const std::u16string* ProfileSection::find(std::u16string_view key) const {
  auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c - u'A' + u'a') : c; };
  for (const auto& [k, v] : entries) {
    if (k.size() != key.size()) continue;
    size_t i = 0;
    while (i < k.size() && lower(k[i]) == lower(key[i])) ++i;
    if (i == k.size()) return &v;
  }
  return nullptr;
}

std::vector<ProfileSection> parseProfileText(std::span<const uint8_t> bytes) {
  std::u16string text = decodeText(bytes);
  std::vector<ProfileSection> sections;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find_first_of(u"\r\n", start);
    if (end == text.npos) end = text.size();
    parseLine(std::u16string_view(text).substr(start, end - start), sections);
    if (end < text.size() && text[end] == u'\r' && end + 1 < text.size() && text[end + 1] == u'\n') ++end;
    start = end + 1;
  }
  return sections;
}

std::vector<uint8_t> writeProfileText(std::span<const ProfileSection> sections) {
  std::vector<uint8_t> out = {0xFF, 0xFE};
  for (const ProfileSection& section : sections) {
    appendUnits(out, u"[");
    appendUnits(out, section.name);
    appendUnits(out, u"]\r\n");
    for (const auto& [key, value] : section.entries) {
      appendUnits(out, key);
      appendUnits(out, u"=");
      appendUnits(out, value);
      appendUnits(out, u"\r\n");
    }
  }
  return out;
}

}  // namespace vexil::objects::datafile
