// The portable PE resource writer: a table of images (with and without a resource section, with a
// section after it, with base relocations, a symbol table, bytes appended after the sections) each
// get a new set of resources; every result must be a consistent image whose other sections are
// untouched and whose resources read back as written.
#include <gtest/gtest.h>

#include <algorithm>

#include "pe_test_image.h"
#include "tools/vxpack/pe/pe_layout.h"
#include "tools/vxpack/pe/pe_resources.h"
#include "tools/vxpack/pe/resource_tree.h"

namespace vexil::pe {
namespace {

using testing::TestImage;
using testing::makeImage;
using testing::TestSection;

ResourceKey key(std::string_view type, std::string_view name, uint16_t language = 0) {
  return {ResourceId::of(type), ResourceId::of(name), language};
}

ResourceTable stubResources() {
  ResourceTable t;
  t[key("#3", "#1", 1033)] = {std::vector<uint8_t>(300, 0x11), 0};
  t[key("#14", "#128", 1033)] = {std::vector<uint8_t>(20, 0x22), 0};
  t[key("#24", "#1", 1033)] = {std::vector<uint8_t>{'<', '?', 'x'}, 0};
  return t;
}

// The stub's resources plus a package: named types and names, an odd size, a large item.
ResourceTable packaged(ResourceTable t) {
  t[key("LUMARC", "ID")] = {std::vector<uint8_t>(45, 'i'), 0};
  t[key("LUMARC", "ST")] = {std::vector<uint8_t>(5001, 's'), 0};
  t[key("VEXIL", "INITIALIZE")] = {std::vector<uint8_t>(123, 'v'), 0};
  t[key("LUMARC", "ML")] = {std::vector<uint8_t>(70000, 'm'), 0};
  return t;
}

uint32_t align(uint32_t v, uint32_t to) { return (v + to - 1) / to * to; }

struct LayoutCase {
  const char* name;
  TestImage plan;
  bool inPlace;  // the resource section is rewritten where it is
};

const Section* findSection(const ImageLayout& l, uint32_t rva) { return sectionAt(l, rva); }

void expectConsistent(const std::vector<uint8_t>& before, const std::vector<uint8_t>& after, const LayoutCase& c,
                      const ResourceTable& table) {
  ImageLayout old = readLayout(before), now = readLayout(after);
  EXPECT_EQ(now.sections.size(), old.sections.size() + (c.inPlace ? 0 : 1));
  EXPECT_EQ(readResources(after), table);

  uint32_t rva = get32(after, now.directoryOffset(kResourceDirectory));
  const Section* rsrc = findSection(now, rva);
  ASSERT_NE(rsrc, nullptr);
  EXPECT_EQ(rsrc->name, ".rsrc");
  EXPECT_EQ(rsrc->virtualAddress, rva);
  EXPECT_EQ(rsrc->characteristics & kSectionInitializedData, kSectionInitializedData);
  EXPECT_GE(rsrc->virtualSize, get32(after, now.directoryOffset(kResourceDirectory) + 4));

  // Every other section keeps its place and its bytes.
  for (const Section& s : old.sections) {
    if (c.inPlace && s.headerOffset == rsrc->headerOffset) continue;
    auto same = std::find_if(now.sections.begin(), now.sections.end(),
                             [&](const Section& n) { return n.headerOffset == s.headerOffset; });
    ASSERT_NE(same, now.sections.end());
    EXPECT_EQ(same->virtualAddress, s.virtualAddress) << s.name;
    EXPECT_EQ(same->rawPointer, s.rawPointer) << s.name;
    EXPECT_TRUE(std::equal(before.begin() + s.rawPointer, before.begin() + s.rawPointer + s.rawSize,
                           after.begin() + same->rawPointer))
        << s.name;
  }
  // No two sections share file bytes or addresses; everything is aligned.
  uint32_t imageEnd = 0;
  for (const Section& a : now.sections) {
    EXPECT_EQ(a.virtualAddress % testing::kSectionAlignment, 0u) << a.name;
    EXPECT_EQ(a.rawPointer % testing::kFileAlignment, 0u) << a.name;
    EXPECT_EQ(a.rawSize % testing::kFileAlignment, 0u) << a.name;
    imageEnd = std::max(imageEnd, a.virtualEnd());
    for (const Section& b : now.sections) {
      if (&a == &b) continue;
      EXPECT_TRUE(a.virtualEnd() <= b.virtualAddress || b.virtualEnd() <= a.virtualAddress) << a.name << b.name;
      if (a.rawSize && b.rawSize) {
        EXPECT_TRUE(a.rawPointer + a.rawSize <= b.rawPointer || b.rawPointer + b.rawSize <= a.rawPointer)
            << a.name << b.name;
      }
    }
  }
  EXPECT_EQ(get32(after, now.sizeOfImageOffset()), align(imageEnd, testing::kSectionAlignment));
  EXPECT_EQ(get32(after, now.checksumOffset()), imageChecksum(after, now.checksumOffset()));
  // Base relocations are left as they were.
  EXPECT_EQ(get32(after, now.directoryOffset(5)), get32(before, old.directoryOffset(5)));
  // What followed the sections still does, and the header still finds the symbol table.
  ASSERT_GE(after.size(), c.plan.trailer.size());
  EXPECT_TRUE(std::equal(c.plan.trailer.begin(), c.plan.trailer.end(), after.end() - long(c.plan.trailer.size())));
  if (c.plan.symbolTable) {
    uint32_t symbols = get32(after, now.symbolTableOffset());
    ASSERT_LT(symbols + 5, after.size());
    EXPECT_EQ(std::string(after.begin() + symbols, after.begin() + symbols + 5), ".file");
  }
}

std::vector<LayoutCase> layoutCases() {
  std::vector<TestSection> code = {{".text", 0x500, 0x60000020}, {".data", 0x200, 0xC0000040}};
  auto with = [&](std::vector<TestSection> extra) {
    auto all = code;
    all.insert(all.end(), extra.begin(), extra.end());
    return all;
  };
  std::vector<uint8_t> archive = {'L', 'A', 'F', 0, 1, 2, 3, 4, 9, 0, 0, 0, 1, 0, 0, 0};
  return {
      {"NoResourceSection", {true, code, {}, {}, false}, false},
      {"NoResourceSection32", {false, code, {}, {}, false}, false},
      {"ResourcesLast", {true, with({{".rsrc"}}), stubResources(), {}, false}, true},
      {"ResourcesBeforeRelocations", {true, with({{".rsrc"}, {".reloc", 12, 0x42000040}}), stubResources(), {}, false},
       false},
      {"ResourcesBeforeRelocations32", {false, with({{".rsrc"}, {".reloc", 12, 0x42000040}}), stubResources(), {},
                                        false},
       false},
      {"SectionAfterResources", {true, with({{".rsrc"}, {".idata", 0x100}}), stubResources(), {}, false}, false},
      {"AppendedArchiveKept", {true, with({{".rsrc"}}), stubResources(), archive, false}, true},
      {"SymbolTableFollows", {true, with({{".rsrc"}, {".reloc", 12, 0x42000040}}), stubResources(), {}, true}, false},
  };
}

class ResourceWriterLayouts : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(ResourceWriterLayouts, WritesAConsistentImageWithThePackage) {
  const LayoutCase& c = GetParam();
  auto before = makeImage(c.plan);
  ASSERT_EQ(readResources(before), c.plan.resources);
  ResourceTable table = packaged(c.plan.resources);
  auto after = writeResources(before, table);
  expectConsistent(before, after, c, table);
}

// A saver made from a saver: the second package replaces the first in place, the file does not grow
// by another section.
TEST_P(ResourceWriterLayouts, WritingAgainReplacesTheNewSectionInPlace) {
  const LayoutCase& c = GetParam();
  auto once = writeResources(makeImage(c.plan), packaged(c.plan.resources));
  ResourceTable second = c.plan.resources;
  second[key("LUMARC", "ID")] = {std::vector<uint8_t>(9, 'j'), 0};
  auto twice = writeResources(once, second);
  EXPECT_EQ(readLayout(twice).sections.size(), readLayout(once).sections.size());
  EXPECT_EQ(readResources(twice), second);
  EXPECT_LT(twice.size(), once.size());
}

INSTANTIATE_TEST_SUITE_P(Images, ResourceWriterLayouts, ::testing::ValuesIn(layoutCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ResourceWriter, RefusesFilesThatAreNotUsableImages) {
  auto good = makeImage({true, {{".text"}}, {}, {}, false});
  auto crowded = makeImage({true, {{".text"}, {".data"}, {".idata"}}, {}, {}, false, 0x200});
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    const char* message;
  };
  std::vector<Case> cases = {
      {"text", std::vector<uint8_t>(100, 'x'), "no MZ header"},
      {"no PE signature", [&] { auto b = good; b[0x80] = 'N'; return b; }(), "no PE signature"},
      {"cut in the section table", std::vector<uint8_t>(good.begin(), good.begin() + 0x190), "truncated"},
      {"bad alignment", [&] { auto b = good; put32(b, 0x80 + 24 + 36, 0x300); return b; }(), "alignment"},
      {"no room for a section", crowded, "no room"},
      {"sections overlapping", [&] { auto b = makeImage({true, {{".text"}, {".data"}}, {}, {}, false});
         put32(b, 0x80 + 24 + 240 + 40 + 12, 0x1100); return b; }(), "sections overlap"},
      {"section over the headers", [&] { auto b = good; put32(b, 0x80 + 24 + 240 + 12, 0x100); return b; }(),
       "overlaps the headers"},
      {"section beyond the file", [&] { auto b = good; put32(b, 0x80 + 24 + 240 + 20, 0x10000); return b; }(),
       "truncated"},
  };
  for (const Case& c : cases) {
    try {
      writeResources(c.bytes, packaged({}));
      ADD_FAILURE() << c.name << ": accepted";
    } catch (const PeError& e) {
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << c.name << ": " << e.what();
    }
  }
}

// The loader looks names up by a binary search over upper-case names, names before numbers.
TEST(ResourceWriter, KeepsNamesUpperCaseAndSortedNamesBeforeNumbers) {
  EXPECT_EQ(ResourceId::of("st"), ResourceId::of("ST"));
  EXPECT_EQ(ResourceId::of("#12"), ResourceId::of(uint16_t(12)));
  EXPECT_EQ(ResourceId::of("12"), ResourceId::of(uint16_t(12)));
  EXPECT_TRUE(ResourceId::of("99999").named);  // beyond a number's range it is a name
  ResourceTable t;
  for (const char* type : {"#24", "VEXIL", "lumarc", "#3", "A"}) t[key(type, "X")] = {{1}, 0};
  auto tree = encodeResourceTree(t, 0x1000);
  ASSERT_EQ(get16(tree, 12), 3);  // named entries
  ASSERT_EQ(get16(tree, 14), 2);  // numbered entries
  std::vector<std::string> order;
  for (int i = 0; i < 5; ++i) {
    uint32_t word = get32(tree, 16 + 8 * i);
    if (!(word & 0x80000000u)) {
      order.push_back("#" + std::to_string(word));
      continue;
    }
    size_t at = word & 0x7FFFFFFF;
    std::string name;
    for (size_t c = 0; c < get16(tree, at); ++c) name += char(get16(tree, at + 2 + 2 * c));
    order.push_back(name);
  }
  EXPECT_EQ(order, (std::vector<std::string>{"A", "LUMARC", "VEXIL", "#3", "#24"}));
}

TEST(ResourceWriter, ChecksumFoldsWordsSkipsItsFieldAndAddsTheLength) {
  struct Case {
    std::vector<uint8_t> bytes;
    size_t field;
    uint32_t expected;
  };
  const Case cases[] = {
      {{1, 2, 3}, 100, 0x0201 + 0x0003 + 3},
      {{0xFF, 0xFF, 0x02, 0x00}, 100, 0x0002 + 4},  // 0xFFFF + 2 carries into 0x0002
      {{1, 2, 0xAA, 0xBB, 0xCC, 0xDD, 5, 0}, 2, 0x0201 + 0x0005 + 8},
  };
  for (const Case& c : cases) EXPECT_EQ(imageChecksum(c.bytes, c.field), c.expected);
}

TEST(ResourceReader, RejectsTreesThatPointOutsideTheirSection) {
  auto image = makeImage({true, {{".text"}, {".rsrc"}}, stubResources(), {}, false});
  ImageLayout l = readLayout(image);
  const Section& rsrc = l.sections[1];
  struct Case {
    const char* name;
    size_t at;
    uint32_t value;
    bool word;  // a 16-bit field
  };
  const Case cases[] = {
      {"directory offset past the end", rsrc.rawPointer + 16 + 4, 0x8000FFF0u, false},
      {"entry count past the end", rsrc.rawPointer + 14, 0x7FFF, true},
      {"leaf where a directory belongs", rsrc.rawPointer + 16 + 4, 0x00000010u, false},
  };
  for (const Case& c : cases) {
    auto broken = image;
    if (c.word) put16(broken, c.at, uint16_t(c.value));
    else put32(broken, c.at, c.value);
    EXPECT_THROW(readResources(broken), PeError) << c.name;
  }
}

}  // namespace
}  // namespace vexil::pe
