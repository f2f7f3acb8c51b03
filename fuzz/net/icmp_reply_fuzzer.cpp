// Any bytes as a datagram read from the raw ICMP socket: the echo-reply reader must stay inside it.
#include <cstdint>
#include <cstdlib>

#include "net/inet/icmp_echo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  uint16_t identifier = size >= 2 ? uint16_t(data[size - 2] << 8 | data[size - 1]) : 0;
  (void)vexil::net::readEchoReply(std::span<const uint8_t>(data, size), identifier);
  (void)vexil::net::internetChecksum(std::span<const uint8_t>(data, size));
  return 0;
}
