#pragma once
// The numbers a script hands the Socket class, checked before they reach the system: byte
// orders, transfer lengths, port numbers and address texts. Portable, so they are tested natively.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vexil::net {

// One send or receive moves at most this many bytes. A non-blocking socket may move fewer than
// asked anyway, so scripts already loop; the cap keeps a length of 2^40 from becoming an
// allocation (or an int that wraps negative).
inline constexpr int kMaxTransfer = 1 << 20;
// The longest host name the resolver accepts; longer texts are refused before any look-up.
inline constexpr size_t kMaxHostName = 255;

uint32_t swap32(uint32_t value);
uint16_t swap16(uint16_t value);

// The byte count of a send or receive: absent when the script gave no integer or one ≤ 0 (the
// call then does nothing), otherwise the request clamped to kMaxTransfer.
std::optional<int> transferLength(std::optional<int64_t> requested);

// A port argument: the fallback when absent, the number when it lies in 0-65535, and absent
// (refused) otherwise, rather than quietly keeping its low 16 bits.
std::optional<uint16_t> portArgument(std::optional<int64_t> value, uint16_t fallback = 0);

// What an address text names, without asking any resolver.
enum class AddressKind {
  Invalid,  // empty, longer than a host name may be, or holding a NUL
  Numeric,  // a dotted IPv4 address (a.b.c.d, each 0-255)
  Name,     // something only a resolver can answer
};
struct AddressText {
  AddressKind kind = AddressKind::Invalid;
  std::array<uint8_t, 4> bytes{};  // the address in network order, when Numeric
};
AddressText classifyAddress(std::string_view text);

// The address a bind or a datagram goes to, answered without a resolver: a dotted address, or
// "localhost" (any case) as 127.0.0.1. Anything else is absent: those calls return at once, so
// they never wait on a name server.
std::optional<std::array<uint8_t, 4>> immediateAddress(std::string_view text);

// "a.b.c.d" for an address in network order.
std::string dottedAddress(const std::array<uint8_t, 4>& bytes);

}  // namespace vexil::net
