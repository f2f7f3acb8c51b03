#pragma once
// Where package resources come from: the running module's resources on Windows, or a table of
// byte buffers in tests and tools. Names and types compare case-insensitively, as Windows does.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/package/package_blob.h"

namespace vexil::package {

class ResourceSource {
 public:
  virtual ~ResourceSource() = default;
  // A copy of the resource's raw bytes, or nothing if it is missing or cannot be loaded.
  virtual std::optional<std::vector<uint8_t>> readRaw(std::string_view name, std::string_view type) const = 0;
};

// Reads a resource and decodes it as a blob; any failure yields nothing (the item is absent).
std::optional<std::vector<uint8_t>> decodeResource(const ResourceSource& source, std::string_view name,
                                                   std::string_view type);

// Resources held in memory.
class MemoryResources : public ResourceSource {
 public:
  void add(std::string_view name, std::string_view type, std::vector<uint8_t> bytes);
  std::optional<std::vector<uint8_t>> readRaw(std::string_view name, std::string_view type) const override;

 private:
  std::map<std::pair<std::string, std::string>, std::vector<uint8_t>> items_;
};

}  // namespace vexil::package
