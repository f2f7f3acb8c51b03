#pragma once
// The resources of a loaded Windows module (the running executable by default).
#include "host/package/resource_source.h"

namespace vexil::package {

class ModuleResources : public ResourceSource {
 public:
  explicit ModuleResources(void* module = nullptr) : module_(module) {}  // an HMODULE
  std::optional<std::vector<uint8_t>> readRaw(std::string_view name, std::string_view type) const override;

 private:
  void* module_;
};

}  // namespace vexil::package
