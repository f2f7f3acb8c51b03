#include "net/inet/icmp_echo.h"

#include <cstring>

namespace vexil::net {
namespace {

constexpr size_t kMinIpHeader = 20;
constexpr uint8_t kProtocolIcmp = 1;

}  // namespace

uint16_t internetChecksum(std::span<const uint8_t> bytes) {
  uint32_t sum = 0;
  size_t i = 0;
  for (; i + 1 < bytes.size(); i += 2) sum += uint32_t(bytes[i] << 8 | bytes[i + 1]);
  if (i < bytes.size()) sum += uint32_t(bytes[i] << 8);
  while (sum >> 16) sum = (sum & 0xFFFF) + (sum >> 16);
  return uint16_t(~sum);
}

std::array<uint8_t, kEchoRequestSize> buildEchoRequest(uint16_t identifier, uint16_t sequence, uint32_t sendTime) {
  std::array<uint8_t, kEchoRequestSize> packet{};
  packet[0] = kIcmpEchoRequest;
  packet[1] = 0;
  packet[4] = uint8_t(identifier >> 8);
  packet[5] = uint8_t(identifier);
  packet[6] = uint8_t(sequence >> 8);
  packet[7] = uint8_t(sequence);
  for (int i = 0; i < 4; ++i) packet[8 + i] = uint8_t(sendTime >> (8 * i));
  for (size_t i = 0; i < kEchoDataSize; ++i) packet[12 + i] = uint8_t(32 + i);
  uint16_t checksum = internetChecksum(packet);
  packet[2] = uint8_t(checksum >> 8);
  packet[3] = uint8_t(checksum);
  return packet;
}

std::optional<EchoReply> readEchoReply(std::span<const uint8_t> datagram, uint16_t identifier) {
  if (datagram.size() < kMinIpHeader || (datagram[0] >> 4) != 4) return std::nullopt;
  size_t headerLength = size_t(datagram[0] & 0x0F) * 4;
  if (headerLength < kMinIpHeader || datagram.size() < headerLength) return std::nullopt;
  if (datagram[9] != kProtocolIcmp) return std::nullopt;
  std::span<const uint8_t> icmp = datagram.subspan(headerLength);
  if (icmp.size() < 12 || icmp[0] != kIcmpEchoReply || icmp[1] != 0) return std::nullopt;
  if (uint16_t(icmp[4] << 8 | icmp[5]) != identifier) return std::nullopt;
  EchoReply reply;
  std::memcpy(reply.source.data(), datagram.data() + 12, 4);
  reply.ttl = datagram[8];
  reply.sequence = uint16_t(icmp[6] << 8 | icmp[7]);
  for (int i = 0; i < 4; ++i) reply.sendTime |= uint32_t(icmp[8 + i]) << (8 * i);
  return reply;
}

}  // namespace vexil::net
