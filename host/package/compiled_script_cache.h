#pragma once
// Compiled scripts decoded from the package's "VEXIL" resources, kept for the life of the main
// window in a 17-bucket hash table so each is inflated once.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/package/resource_source.h"
#include "script/runtime/string_hash.h"

namespace vexil::package {

using script::stringHash;

struct CachedScript {
  std::string name;
  std::vector<uint8_t> bytes;
  uintptr_t state = 0;  // kept by the engine between runs of the same script
  std::unique_ptr<CachedScript> next;
};

class CompiledScriptCache {
 public:
  static constexpr size_t kBuckets = 17;
  explicit CompiledScriptCache(const ResourceSource& source) : source_(source) {}
  ~CompiledScriptCache() { clear(); }
  CompiledScriptCache(const CompiledScriptCache&) = delete;
  CompiledScriptCache& operator=(const CompiledScriptCache&) = delete;

  // The cached script of that name (compared case-insensitively), decoding it on a miss.
  // Returns nullptr when the resource is missing or does not decode; nothing is cached then.
  CachedScript* find(std::string_view name);
  void clear();
  static size_t bucketOf(std::string_view name);

 private:
  const ResourceSource& source_;
  std::array<std::unique_ptr<CachedScript>, kBuckets> buckets_;
};

}  // namespace vexil::package
