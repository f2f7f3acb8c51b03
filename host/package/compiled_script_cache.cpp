#include "host/package/compiled_script_cache.h"

#include "host/package/text_item.h"
#include "platform/text_case.h"

namespace vexil::package {

// Names are folded to upper case before hashing: resource lookup ignores case, so "Intro" and
// "INTRO" are one script and share one node.
size_t CompiledScriptCache::bucketOf(std::string_view name) {
  std::string folded(name);
  for (char& c : folded) {
    if (c >= 'a' && c <= 'z') c = char(c - 32);
  }
  return stringHash(folded) % kBuckets;
}

CachedScript* CompiledScriptCache::find(std::string_view name) {
  auto& head = buckets_[bucketOf(name)];
  for (CachedScript* node = head.get(); node; node = node->next.get()) {
    if (platform::equalsIgnoringAsciiCase(node->name, name)) return node;
  }
  auto bytes = decodeResource(source_, name, "Vexil");
  if (!bytes) return nullptr;
  auto node = std::make_unique<CachedScript>();
  node->name = std::string(name);
  node->bytes = std::move(*bytes);
  node->next = std::move(head);
  head = std::move(node);
  return head.get();
}

void CompiledScriptCache::clear() {
  for (auto& head : buckets_) {
    // Unlink iteratively so a long chain cannot exhaust the stack in destructors.
    while (head) head = std::move(head->next);
  }
}

}  // namespace vexil::package
