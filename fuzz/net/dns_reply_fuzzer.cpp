// Any bytes as a name server's reply to the MX query: the reader must stay inside the message,
// end on pointer loops and answer absent or a list, never crash or hang. The same bytes as a
// domain name go through the query builder, whose output must frame what it holds.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "net/inet/dns_message.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::span<const uint8_t> message(data, size);
  if (auto records = vexil::net::readMxReply(message)) {
    for (const auto& record : *records)
      if (record.exchange.size() > vexil::net::kMaxWireName) abort();
  }
  size_t offset = size > 0 ? data[0] : 0;
  if (auto name = vexil::net::readName(message, offset)) {
    if (offset > size) abort();
  }
  auto query = vexil::net::buildMxQuery(std::string_view(reinterpret_cast<const char*>(data), size));
  if (query && size_t(query->at(0) << 8 | query->at(1)) != query->size() - 2) abort();
  return 0;
}
