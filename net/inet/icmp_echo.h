#pragma once
// The ICMP echo request ping sends over a raw socket and the reader of what comes back. The
// reader takes the IP header's own length (options make it longer than 20 bytes) and checks every
// field against the datagram's size before reading it.
#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace vexil::net {

inline constexpr size_t kEchoDataSize = 32;        // the bytes 32, 33, ... 63
inline constexpr size_t kEchoRequestSize = 8 + 4 + kEchoDataSize;  // header, send time, data
inline constexpr uint8_t kIcmpEchoRequest = 8;
inline constexpr uint8_t kIcmpEchoReply = 0;

// The Internet checksum (RFC 1071): the ones' complement of the ones' complement sum of the
// 16-bit big-endian words, an odd last byte padded with zero.
uint16_t internetChecksum(std::span<const uint8_t> bytes);

// An echo request: type 8, code 0, the checksum, the identifier and sequence number (network
// order), the send time (the sender's tick count, little-endian as the sender wrote it), then the
// data bytes.
std::array<uint8_t, kEchoRequestSize> buildEchoRequest(uint16_t identifier, uint16_t sequence, uint32_t sendTime);

struct EchoReply {
  std::array<uint8_t, 4> source{};  // the replying address, network order
  uint8_t ttl = 0;
  uint16_t sequence = 0;
  uint32_t sendTime = 0;  // as echoed back
};

// The reply in a datagram read from a raw ICMP socket (IP header first): absent unless it is a
// well-formed IPv4 datagram carrying an echo reply with our identifier and the send time.
std::optional<EchoReply> readEchoReply(std::span<const uint8_t> datagram, uint16_t identifier);

}  // namespace vexil::net
