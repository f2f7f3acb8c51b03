// Key paths, create's access indexes and every value type's read and write rules, as bytes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "objects/registry/registry_data.h"
#include "objects/registry/registry_path.h"

namespace vexil::objects::registry {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(KeyPathTest, RootAbbreviationsAreCaselessAndOnlyBeforeTheFirstBackslash) {
  struct Case {
    std::u16string path;
    std::optional<RegistryRoot> root;
    std::u16string subkey;
  };
  const Case cases[] = {
      {u"HKCU\\Software", RegistryRoot::CurrentUser, u"Software"},
      {u"hkcu\\Software\\A", RegistryRoot::CurrentUser, u"Software\\A"},
      {u"HKCR\\.txt", RegistryRoot::ClassesRoot, u".txt"},
      {u"HkLm\\", RegistryRoot::LocalMachine, u""},
      {u"HKU\\x", RegistryRoot::Users, u"x"},
      {u"HKCC\\x", RegistryRoot::CurrentConfig, u"x"},
      {u"HKPD\\x", RegistryRoot::PerformanceData, u"x"},
      {u"HKDD\\x", RegistryRoot::DynData, u"x"},
      {u"HKCU", std::nullopt, u"HKCU"},  // no backslash: never a root
      {u"Software", std::nullopt, u"Software"},
      {u"HKXX\\Software", std::nullopt, u"HKXX\\Software"},
      {u"HKCUX\\a", std::nullopt, u"HKCUX\\a"},
      {u"Sub\\HKCU\\a", std::nullopt, u"Sub\\HKCU\\a"},
      {u"", std::nullopt, u""},
  };
  for (const Case& c : cases) {
    KeyPath split = splitKeyPath(c.path);
    EXPECT_EQ(split.root, c.root) << std::string(c.path.begin(), c.path.end());
    EXPECT_EQ(split.subkey, c.subkey);
  }
}

TEST(KeyPathTest, LongAndDeepPathsSplitWithoutTrouble) {
  std::u16string deep = u"HKCU";
  for (int i = 0; i < 1000; ++i) deep += u"\\k";
  EXPECT_EQ(splitKeyPath(deep).subkey.size(), deep.size() - 5);
  std::u16string wide(65536, u'x');
  EXPECT_FALSE(splitKeyPath(wide).root);
}

TEST(AccessIndexTest, IndexesMapToTheAccessTableAndOthersToAllAccess) {
  const std::pair<std::optional<int64_t>, uint32_t> cases[] = {
      {0, 0xF003F}, {1, 0x20}, {2, 0x4}, {3, 0x8}, {4, 0x20019}, {5, 0x10}, {6, 0x1}, {7, 0x20019},
      {8, 0x2}, {9, 0x20006}, {10, 0xF003F}, {-1, 0xF003F}, {std::nullopt, 0xF003F}};
  for (const auto& [index, access] : cases) EXPECT_EQ(accessOfIndex(index), access);
}

Bytes utf16(std::u16string_view text) {
  Bytes out;
  for (char16_t c : text) {
    out.push_back(uint8_t(c & 0xFF));
    out.push_back(uint8_t(c >> 8));
  }
  return out;
}

TEST(RegistryDataTest, TextTypesStopAtTheFirstZeroAndNeverReadPastTheData) {
  for (uint32_t type : {kRegSz, kRegExpandSz, kRegResourceList}) {
    DecodedData terminated = decodeRegistryData(type, utf16(std::u16string(u"ab\0cd", 5)));
    EXPECT_EQ(terminated.text, u"ab");
    Bytes odd = utf16(u"\u00e9\u4e2d");
    odd.push_back('x');  // an odd byte is no unit
    DecodedData unterminated = decodeRegistryData(type, odd);
    EXPECT_EQ(unterminated.kind, DecodedData::Kind::Text);
    EXPECT_EQ(unterminated.text, u"\u00e9\u4e2d");
  }
}

TEST(RegistryDataTest, NumbersReadByTypeAndShortOnesReadAsNothing) {
  struct Case {
    uint32_t type;
    Bytes bytes;
    DecodedData::Kind kind;
    int64_t value;
  };
  const Case cases[] = {
      {kRegDword, {0x00, 0x28, 0x6B, 0xEE}, DecodedData::Kind::Integer, 4000000000},
      {kRegDword, {0x01, 0x02, 0x03}, DecodedData::Kind::Absent, 0},
      {kRegDword, {0x01, 0x00, 0x00, 0x00, 0xFF}, DecodedData::Kind::Integer, 1},
      {kRegDwordBigEndian, {0xFF, 0x00, 0x00, 0x01}, DecodedData::Kind::Integer, 0xFF000001},
      {kRegDwordBigEndian, {0x01}, DecodedData::Kind::Absent, 0},
      {kRegQword, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, DecodedData::Kind::Integer, -1},
      {kRegQword, {0x0B, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00}, DecodedData::Kind::Integer, 0x1000000000B},
      {kRegQword, {1, 2, 3, 4}, DecodedData::Kind::Absent, 0},
      {9, {1, 2, 3, 4}, DecodedData::Kind::Absent, 0},
      {kRegSz, {}, DecodedData::Kind::Absent, 0},
  };
  for (const Case& c : cases) {
    DecodedData d = decodeRegistryData(c.type, c.bytes);
    EXPECT_EQ(d.kind, c.kind) << c.type;
    if (c.kind == DecodedData::Kind::Integer) {
      EXPECT_EQ(d.integer, c.value) << c.type;
    }
  }
}

TEST(RegistryDataTest, MultiStringsSplitAtZerosWithOrWithoutTerminators) {
  const std::pair<std::u16string, std::vector<std::u16string>> cases[] = {
      {std::u16string(u"one\0two\0\0", 9), {u"one", u"two"}},
      {std::u16string(u"one\0two", 7), {u"one", u"two"}},
      {std::u16string(u"one\0\0ignored\0", 13), {u"one"}},
      {std::u16string(u"\0", 1), {}},
  };
  for (const auto& [units, list] : cases) EXPECT_EQ(decodeRegistryData(kRegMultiSz, utf16(units)).list, list);
}

TEST(RegistryDataTest, BinaryTypesReadEveryByteAsCodePageText) {
  DecodedData d = decodeRegistryData(kRegBinary, Bytes{'a', 0, 'b'});
  EXPECT_EQ(d.text, std::u16string(u"a\0b", 3));
}

TEST(RegistryDataTest, WrittenTextsGetTheirTerminators) {
  struct Case {
    uint32_t type;
    Bytes data;
    Bytes written;
  };
  const Case cases[] = {
      {kRegSz, utf16(u"abc"), utf16(std::u16string(u"abc\0", 4))},
      {kRegSz, utf16(std::u16string(u"abc\0", 4)), utf16(std::u16string(u"abc\0", 4))},
      {kRegExpandSz, {}, utf16(std::u16string(u"\0", 1))},
      {kRegMultiSz, utf16(std::u16string(u"a\0b", 3)), utf16(std::u16string(u"a\0b\0\0", 5))},
      {kRegMultiSz, utf16(std::u16string(u"a\0b\0", 4)), utf16(std::u16string(u"a\0b\0\0", 5))},
      {kRegMultiSz, utf16(std::u16string(u"a\0\0", 3)), utf16(std::u16string(u"a\0\0", 3))},
      {kRegBinary, {'a', 'b', 'c'}, {'a', 'b', 'c'}},
      {kRegDword, {1, 2}, {1, 2}},
  };
  for (const Case& c : cases) EXPECT_EQ(bytesForWrite(c.type, c.data), c.written) << c.type;
}

TEST(RegistryDataTest, IntegersAndTextsAreWrittenInTheTypesForm) {
  Bytes b;
  appendInteger(b, kRegDword, 0x1122334455667788);
  EXPECT_EQ(b, (Bytes{0x88, 0x77, 0x66, 0x55}));
  b.clear();
  appendInteger(b, kRegDwordBigEndian, 0x01020304);
  EXPECT_EQ(b, (Bytes{1, 2, 3, 4}));
  EXPECT_EQ(decodeRegistryData(kRegDwordBigEndian, b).integer, 0x01020304);
  b.clear();
  appendInteger(b, kRegQword, -2);
  EXPECT_EQ(decodeRegistryData(kRegQword, b).integer, -2);
  b.clear();
  appendText(b, kRegSz, u"\u4e2d", false);
  EXPECT_EQ(b, (Bytes{0x2D, 0x4E}));
  b.clear();
  appendText(b, kRegBinary, u"ab", true);
  EXPECT_EQ(b, (Bytes{'a', 'b', 0}));
}

}  // namespace
}  // namespace vexil::objects::registry
