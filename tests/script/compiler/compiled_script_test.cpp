// The reader of compiled files and its section decoders: what they accept, and that damaged data
// is refused without reading outside it.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "script/compiler/compiled_script.h"

namespace vexil::script::test {
namespace {

using Bytes = std::vector<uint8_t>;

// The 72-byte file of `return true;`.
const Bytes kReturnTrue = {
    0x56, 0x53, 0x31, 0x62, 0x00, 0x95, 0x6F, 0x00, 0x38, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00,
    0x01, 0x06, 0x0C, 0x00, 0x3A, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x63, 0x1C, 0x00,
    0x3A, 0x00, 0x00, 0x00, 0x0E, 0x00, 0x00, 0x00, 0x03, 0x6F, 0x5D, 0x00, 0x48, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x60, 0x33, 0x00, 0x00, 0x00, 0x01, 0x2E, 0x6D,
    0x61, 0x69, 0x6E, 0x00, 0x00, 0x00, 0x00, 0x00};

TEST(CompiledScriptReader, ReadsTheWorkedExample) {
  auto script = readCompiledScript(kReturnTrue);
  ASSERT_TRUE(script);
  ASSERT_EQ(script->sections.size(), 4u);
  EXPECT_EQ(script->bytesOf(SectionType::Code).size(), 2u);
  auto functions = decodeFunctionTable(script->bytesOf(SectionType::Functions));
  ASSERT_TRUE(functions);
  ASSERT_EQ(functions->size(), 1u);
  EXPECT_EQ((*functions)[0].name, ".main");
  EXPECT_EQ((*functions)[0].offset, 0u);
}

TEST(CompiledScriptReader, SkipsAnInterpreterLine) {
  std::string line = "#!/usr/bin/vexil -x\n";
  Bytes data(line.begin(), line.end());
  data.insert(data.end(), kReturnTrue.begin(), kReturnTrue.end());
  // Offsets count from the magic, not from the start of the file.
  auto script = readCompiledScript(data);
  ASSERT_TRUE(script);
  EXPECT_EQ(script->bytesOf(SectionType::Code).size(), 2u);
  EXPECT_TRUE(hasCompiledMagic(data));
  // A "#" line without a newline leaves nothing to read.
  EXPECT_FALSE(readCompiledScript(Bytes(line.begin(), line.end() - 1)));
}

TEST(CompiledScriptReader, RefusesDamagedHeaders) {
  struct Case {
    const char* what;
    size_t at;
    uint8_t value;
  } cases[] = {
      {"magic", 3, 'B'},
      {"code size past the end", 12, 0x40},
      {"constants offset past the end", 21, 0x01},
      {"huge size", 39, 0xFF},
  };
  for (const auto& c : cases) {
    Bytes data = kReturnTrue;
    data[c.at] = c.value;
    EXPECT_FALSE(readCompiledScript(data)) << c.what;
  }
  // Cut anywhere inside the header (the list end missing) or inside the sections.
  for (size_t size : {0u, 3u, 4u, 7u, 8u, 20u, 52u, 55u, 57u, 71u})
    EXPECT_FALSE(readCompiledScript(Bytes(kReturnTrue.begin(), kReturnTrue.begin() + size))) << size;
}

TEST(CompiledScriptReader, DecodesEveryConstantKind) {
  Bytes section = {3, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xF9,  // -7
                   5, 0, 0, 0, 0, 0, 0, 4, 0x40,                       // 2.5
                   4, 0, 0, 0, 4, 'h', 0, 0xE9, 0,                      // "hé"
                   10, 'n', 'm', 0,                                     // name
                   11, 5, 0, 0, 0, 2, 'a', 0,                           // /a/gm
                   1, 13, 2, 1};
  auto constants = decodeConstants(section);
  ASSERT_TRUE(constants);
  ASSERT_EQ(constants->size(), 8u);
  EXPECT_EQ((*constants)[0].integer, -7);
  EXPECT_EQ((*constants)[1].real, 2.5);
  EXPECT_EQ((*constants)[2].text, u"h\u00e9");
  EXPECT_EQ((*constants)[3].name, "nm");
  EXPECT_EQ((*constants)[4].regexpFlags, 5);
  EXPECT_EQ((*constants)[4].text, u"a");
  EXPECT_EQ((*constants)[7].kind, ConstantKind::Boolean);
}

TEST(CompiledScriptReader, RefusesTruncatedOrUnknownConstants) {
  const Bytes cases[] = {
      {3, 0, 0, 0},                    // short integer
      {5, 0, 0},                       // short double
      {4, 0, 0, 0, 4, 'h', 0},         // fewer units than counted
      {4, 0, 0, 0, 3, 'h', 0, 0},      // odd byte count
      {4, 0xFF, 0xFF, 0xFF, 0xFF},     // absurd count
      {10, 'n', 'm'},                  // name without its 0
      {11},                            // regexp without flags
      {7},                             // unknown kind
      {2},                             // boolean without its byte
  };
  for (const auto& c : cases) {
    std::string error;
    EXPECT_FALSE(decodeConstants(c, &error)) << int(c[0]);
    EXPECT_FALSE(error.empty());
  }
}

TEST(CompiledScriptReader, RefusesBadFunctionTables) {
  const Bytes cases[] = {
      {},                                                   // no count
      {0, 0, 0},                                            // short count
      {0xFF, 0xFF, 0xFF, 0xFF},                             // absurd count, allocates nothing
      {0, 0, 0, 1, 'f', 0, 0, 0, 0},                        // short offset
      {0, 0, 0, 1, 'f', 'g', 0, 0, 0, 0},                   // name without its 0
      {0, 0, 0, 2, 'f', 0, 0, 0, 0, 0},                     // one entry of two
  };
  for (const auto& c : cases) EXPECT_FALSE(decodeFunctionTable(c)) << c.size();
  auto empty = decodeFunctionTable(Bytes{0, 0, 0, 0});
  ASSERT_TRUE(empty);
  EXPECT_TRUE(empty->empty());
}

TEST(CompiledScriptReader, DecodesAndRefusesDebugRecords) {
  auto info = decodeDebugInfo(Bytes{1, 0, 0, 0, 1, 'f', 2, 0, 0, 0, 5, 0, 0, 0, 9});
  ASSERT_TRUE(info);
  EXPECT_EQ(info->sourceName, "f");
  ASSERT_EQ(info->lines.size(), 1u);
  EXPECT_EQ(info->lines[0].offset, 5u);
  EXPECT_EQ(info->lines[0].line, 9u);
  EXPECT_FALSE(decodeDebugInfo(Bytes{1, 0, 0, 0, 9, 'f'}));       // name shorter than said
  EXPECT_FALSE(decodeDebugInfo(Bytes{2, 0, 0, 0, 5, 0, 0}));       // short line record
  EXPECT_FALSE(decodeDebugInfo(Bytes{3}));                         // unknown record
}

}  // namespace
}  // namespace vexil::script::test
