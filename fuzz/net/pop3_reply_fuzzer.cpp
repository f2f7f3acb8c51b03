// Any bytes as a POP3 server's answers: the multi-line reader reads the same data whatever pieces
// the bytes come in, never uses more bytes than it was given, and listing, status and greeting
// parsers take anything within their bounds.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "net/mail/pop3_reply.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vexil::net::mail;
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  DotUnstuffer whole, pieces;
  std::string wholeData, pieceData;
  size_t wholeUsed = whole.feed(bytes, &wholeData);
  size_t pieceUsed = 0;
  for (size_t at = 0; at < bytes.size() && !pieces.done(); at += 7) {
    pieceUsed += pieces.feed(bytes.substr(at, 7), &pieceData);
  }
  if (wholeUsed > bytes.size() || wholeData.size() > wholeUsed) std::abort();
  if (whole.done() != pieces.done() || wholeUsed != pieceUsed || wholeData != pieceData) std::abort();
  for (const ListingEntry& entry : parseListing(bytes)) {
    if (entry.number < 1 || entry.number > kMaxMessageNumber || entry.value.empty()) std::abort();
    listingSize(entry);
  }
  parseListingStatus(bytes);
  statusText(bytes);
  if (auto stamp = apopTimestamp(bytes); stamp && (stamp->front() != '<' || stamp->back() != '>')) std::abort();
  return 0;
}
