#include "net/inet/icmp_echo.h"

#include <gtest/gtest.h>

#include <vector>

namespace vexil::net {
namespace {

TEST(InternetChecksum, MatchesTheWorkedExamplesOfTheChecksumRfc) {
  // RFC 1071's example: 00 01 f2 03 f4 f5 f6 f7 sums to ddf2, checksum 220d.
  const uint8_t rfc[] = {0x00, 0x01, 0xf2, 0x03, 0xf4, 0xf5, 0xf6, 0xf7};
  EXPECT_EQ(internetChecksum(rfc), 0x220d);
  EXPECT_EQ(internetChecksum({}), 0xFFFF);
  const uint8_t odd[] = {0x01};  // an odd byte is padded on the right
  EXPECT_EQ(internetChecksum(odd), 0xFEFF);
}

TEST(EchoRequest, HoldsTheFieldsAndAChecksumThatVerifies) {
  auto packet = buildEchoRequest(0x1234, 7, 0xA1B2C3D4);
  ASSERT_EQ(packet.size(), 44u);
  EXPECT_EQ(packet[0], 8);
  EXPECT_EQ(packet[1], 0);
  EXPECT_EQ(packet[4], 0x12);
  EXPECT_EQ(packet[5], 0x34);
  EXPECT_EQ(packet[6], 0);
  EXPECT_EQ(packet[7], 7);
  EXPECT_EQ(packet[8], 0xD4);
  EXPECT_EQ(packet[11], 0xA1);
  for (size_t i = 0; i < 32; ++i) EXPECT_EQ(packet[12 + i], 32 + i);
  EXPECT_EQ(internetChecksum(packet), 0);  // a packet with its checksum sums to all ones
}

// The request turned into what a host sends back, behind an IP header with ihl words.
std::vector<uint8_t> replyDatagram(uint16_t identifier, uint16_t sequence, uint32_t time, int ihl = 5) {
  auto request = buildEchoRequest(identifier, sequence, time);
  std::vector<uint8_t> datagram(size_t(ihl) * 4, 0);
  datagram[0] = uint8_t(0x40 | ihl);
  datagram[8] = 64;  // TTL
  datagram[9] = 1;   // ICMP
  datagram[12] = 127;
  datagram[15] = 1;
  request[0] = 0;
  datagram.insert(datagram.end(), request.begin(), request.end());
  return datagram;
}

TEST(EchoReply, IsReadBehindAnIpHeaderOfAnyLength) {
  for (int ihl : {5, 6, 15}) {
    auto reply = readEchoReply(replyDatagram(0x4242, 3, 123456, ihl), 0x4242);
    ASSERT_TRUE(reply) << ihl;
    EXPECT_EQ(reply->ttl, 64);
    EXPECT_EQ(reply->sequence, 3);
    EXPECT_EQ(reply->sendTime, 123456u);
    EXPECT_EQ(reply->source, (std::array<uint8_t, 4>{127, 0, 0, 1}));
  }
}

TEST(EchoReply, OtherDatagramsAreNotTakenAsOurReply) {
  auto good = replyDatagram(0x4242, 3, 1);
  auto otherId = good;
  auto request = good;
  request[20] = 8;  // our own request seen on loopback
  auto ipv6 = good;
  ipv6[0] = 0x65;
  auto shortIhl = good;
  shortIhl[0] = 0x44;
  auto notIcmp = good;
  notIcmp[9] = 6;
  const std::pair<const char*, std::vector<uint8_t>> cases[] = {
      {"another identifier", otherId},
      {"an echo request", request},
      {"not IPv4", ipv6},
      {"header length below 20", shortIhl},
      {"not ICMP", notIcmp},
      {"header longer than the datagram", replyDatagram(0x4242, 3, 1, 15)},
      {"empty", {}},
  };
  for (const auto& [name, bytes] : cases) {
    std::vector<uint8_t> datagram = bytes;
    if (std::string_view(name) == "header longer than the datagram") datagram.resize(50);
    uint16_t id = std::string_view(name) == "another identifier" ? 0x4243 : 0x4242;
    EXPECT_FALSE(readEchoReply(datagram, id)) << name;
  }
  for (size_t n = 0; n < good.size(); ++n) {
    std::vector<uint8_t> cut(good.begin(), good.begin() + n);
    if (n < 32) {
      EXPECT_FALSE(readEchoReply(cut, 0x4242)) << n;  // the header and the reply's first 12 bytes
    }
  }
}

}  // namespace
}  // namespace vexil::net
