#pragma once
// The DNS messages mxfind exchanges with a name server over TCP: the MX query it sends and the
// reader of the answer. The reader trusts nothing in the reply: every count, length and name is
// checked against the bytes that arrived, compression pointers may only jump a bounded number of
// times, and any fault makes the whole answer a failure rather than a partial list.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vexil::net {

// The query's identifier; a reply must carry it back.
inline constexpr uint16_t kMxQueryId = 0x4646;
inline constexpr uint16_t kTypeMx = 15;
inline constexpr uint16_t kClassInternet = 1;
// A name on the wire is at most this many bytes (its labels, their length bytes and the root).
inline constexpr size_t kMaxWireName = 255;
inline constexpr size_t kMaxLabel = 63;
// Compression pointers followed while reading one name; a loop runs into this bound.
inline constexpr int kMaxPointerJumps = 64;

struct MxRecord {
  uint16_t preference = 0;
  std::string exchange;  // dotted, without the root's trailing dot
};

// The MX question for the domain with recursion desired, framed for TCP (two big-endian length
// bytes first). Absent when the domain cannot be a DNS name: empty, an empty label, a label longer
// than 63 bytes or a name longer than 255 bytes on the wire. One trailing dot is allowed.
std::optional<std::vector<uint8_t>> buildMxQuery(std::string_view domain);

// The MX records of a reply (the message without its TCP length prefix), in answer order; records
// of other types are skipped by their length. Absent when the message is not a well-formed reply
// to our query.
std::optional<std::vector<MxRecord>> readMxReply(std::span<const uint8_t> message);

// The name at offset (following compression pointers), dotted; the offset moves past the name as
// it appears at that place. Absent for a malformed name. Exposed for tests.
std::optional<std::string> readName(std::span<const uint8_t> message, size_t& offset);

}  // namespace vexil::net
