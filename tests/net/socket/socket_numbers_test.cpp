#include "net/socket/socket_numbers.h"

#include <gtest/gtest.h>

#include <string>

namespace vexil::net {
namespace {

TEST(SocketNumbers, ByteSwapsAreTheirOwnInverse) {
  EXPECT_EQ(swap16(0x1234), 0x3412);
  EXPECT_EQ(swap32(1), 16777216u);
  EXPECT_EQ(swap32(0x12345678), 0x78563412u);
  for (uint32_t v : {0u, 1u, 0xFFFFFFFFu, 0x80000000u, 0x00FF00FFu}) EXPECT_EQ(swap32(swap32(v)), v);
}

TEST(SocketNumbers, TransferLengthsAreAbsentWhenNotPositiveAndClampedWhenHuge) {
  struct Case {
    std::optional<int64_t> requested;
    std::optional<int> length;
  };
  const Case cases[] = {
      {std::nullopt, std::nullopt}, {0, std::nullopt},     {-1, std::nullopt},
      {INT64_MIN, std::nullopt},    {1, 1},                {65536, 65536},
      {kMaxTransfer, kMaxTransfer}, {int64_t(1) << 40, kMaxTransfer}, {INT64_MAX, kMaxTransfer},
      {int64_t(1) << 32, kMaxTransfer},  // would read as 0 if narrowed to int
  };
  for (const Case& c : cases) EXPECT_EQ(transferLength(c.requested), c.length) << c.requested.value_or(-99);
}

TEST(SocketNumbers, PortsOutsideTheirRangeAreRefusedNotWrapped) {
  EXPECT_EQ(portArgument(std::nullopt), 0);
  EXPECT_EQ(portArgument(std::nullopt, 80), 80);
  EXPECT_EQ(portArgument(0), 0);
  EXPECT_EQ(portArgument(65535), 65535);
  EXPECT_EQ(portArgument(65536), std::nullopt);
  EXPECT_EQ(portArgument(-1), std::nullopt);
  EXPECT_EQ(portArgument(int64_t(1) << 32), std::nullopt);
}

TEST(SocketNumbers, AddressTextsAreSortedWithoutAResolver) {
  struct Case {
    std::string text;
    AddressKind kind;
  };
  const Case cases[] = {
      {"127.0.0.1", AddressKind::Numeric},
      {"0.0.0.0", AddressKind::Numeric},
      {"255.255.255.255", AddressKind::Numeric},
      {"localhost", AddressKind::Name},
      {"example.test", AddressKind::Name},
      {"256.1.1.1", AddressKind::Name},  // not an address, so only a resolver can say
      {"1.2.3", AddressKind::Name},
      {"1.2.3.4.5", AddressKind::Name},
      {"01.2.3.4", AddressKind::Name},
      {"1..3.4", AddressKind::Name},
      {"", AddressKind::Invalid},
      {std::string(255, 'a'), AddressKind::Name},
      {std::string(256, 'a'), AddressKind::Invalid},
      {std::string(65536, 'h'), AddressKind::Invalid},
      {std::string("a\0b", 3), AddressKind::Invalid},
  };
  for (const Case& c : cases) EXPECT_EQ(classifyAddress(c.text).kind, c.kind) << c.text.substr(0, 20);
  auto numeric = classifyAddress("10.20.30.40");
  EXPECT_EQ(numeric.bytes, (std::array<uint8_t, 4>{10, 20, 30, 40}));
}

TEST(SocketNumbers, ImmediateAddressesAreDottedOrLocalhost) {
  EXPECT_EQ(immediateAddress("127.0.0.1"), (std::array<uint8_t, 4>{127, 0, 0, 1}));
  EXPECT_EQ(immediateAddress("LocalHost"), (std::array<uint8_t, 4>{127, 0, 0, 1}));
  EXPECT_EQ(immediateAddress("example.test"), std::nullopt);
  EXPECT_EQ(immediateAddress(""), std::nullopt);
  EXPECT_EQ(immediateAddress(std::string(65536, '1')), std::nullopt);
}

TEST(SocketNumbers, DottedAddressesPrintEachByte) {
  EXPECT_EQ(dottedAddress({127, 0, 0, 1}), "127.0.0.1");
  EXPECT_EQ(dottedAddress({255, 255, 255, 255}), "255.255.255.255");
  EXPECT_EQ(dottedAddress({0, 0, 0, 0}), "0.0.0.0");
}

}  // namespace
}  // namespace vexil::net
