#include <gtest/gtest.h>

#include "host/package/compiled_script_cache.h"
#include "scratch_dir.h"

using namespace vexil::package;
using vexil::package::testing::bytesOf;

namespace {

// Counts how often the cache goes to the package.
class CountingResources : public MemoryResources {
 public:
  mutable int reads = 0;
  std::optional<std::vector<uint8_t>> readRaw(std::string_view name, std::string_view type) const override {
    ++reads;
    return MemoryResources::readRaw(name, type);
  }
};

}  // namespace

TEST(StringHash, MatchesTheShiftXorDefinition) {
  EXPECT_EQ(stringHash(""), 0u);
  EXPECT_EQ(stringHash("A"), 65u);
  // h = 65 -> (65>>7)^(65>>16)^66^(65<<5) = 0^0^66^2080
  EXPECT_EQ(stringHash("AB"), 66u ^ 2080u);
  uint32_t h = 0;
  for (unsigned char b : std::string("INITIALIZE\xFF")) h = (h >> 7) ^ (h >> 16) ^ b ^ (h << 5);
  EXPECT_EQ(stringHash("INITIALIZE\xFF"), h);
}

TEST(CompiledScriptCache, DecodesOnceAndFindsNamesInAnyCase) {
  CountingResources package;
  package.add("INITIALIZE", "VEXIL", encodeBlob(bytesOf("VS1b-init")));
  CompiledScriptCache cache(package);
  CachedScript* first = cache.find("Initialize");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(std::string(first->bytes.begin(), first->bytes.end()), "VS1b-init");
  EXPECT_EQ(first->state, 0u);
  first->state = 42;
  EXPECT_EQ(cache.find("INITIALIZE"), first);
  EXPECT_EQ(cache.find("initialize")->state, 42u);
  EXPECT_EQ(package.reads, 1);
  EXPECT_EQ(CompiledScriptCache::bucketOf("intro"), CompiledScriptCache::bucketOf("INTRO"));
  EXPECT_EQ(CompiledScriptCache::bucketOf("INTRO"), stringHash("INTRO") % 17);
}

TEST(CompiledScriptCache, FailuresAreNotCached) {
  CountingResources package;
  package.add("BROKEN", "VEXIL", {0x53, 0x4D, 0x02, 0x00});
  CompiledScriptCache cache(package);
  EXPECT_EQ(cache.find("broken"), nullptr);
  EXPECT_EQ(cache.find("broken"), nullptr);
  EXPECT_EQ(cache.find("missing"), nullptr);
  EXPECT_EQ(package.reads, 3);  // every miss goes back to the package

  // Many scripts share the 17 buckets; each is still found, and clear empties the table.
  for (int i = 0; i < 100; ++i) package.add("S" + std::to_string(i), "VEXIL", encodeBlob(bytesOf(std::to_string(i))));
  for (int i = 0; i < 100; ++i) ASSERT_NE(cache.find("s" + std::to_string(i)), nullptr);
  int before = package.reads;
  EXPECT_EQ(cache.find("S57")->bytes, bytesOf("57"));
  EXPECT_EQ(package.reads, before);
  cache.clear();
  cache.find("S57");
  EXPECT_EQ(package.reads, before + 1);
}
