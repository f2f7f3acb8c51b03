#include "host/package/resource_source.h"

namespace vexil::package {

std::optional<std::vector<uint8_t>> decodeResource(const ResourceSource& source, std::string_view name,
                                                   std::string_view type) {
  auto raw = source.readRaw(name, type);
  if (!raw) return std::nullopt;
  BlobResult decoded = decodeBlob(*raw);
  if (auto* bytes = std::get_if<std::vector<uint8_t>>(&decoded)) return std::move(*bytes);
  return std::nullopt;
}

static std::string upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = char(c - 32);
  }
  return out;
}

void MemoryResources::add(std::string_view name, std::string_view type, std::vector<uint8_t> bytes) {
  items_[{upper(name), upper(type)}] = std::move(bytes);
}

std::optional<std::vector<uint8_t>> MemoryResources::readRaw(std::string_view name, std::string_view type) const {
  auto it = items_.find({upper(name), upper(type)});
  if (it == items_.end()) return std::nullopt;
  return it->second;
}

}  // namespace vexil::package
