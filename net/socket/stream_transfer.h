#pragma once
// Moving bytes between a socket and a StringStream. A send takes its bytes from the stream's get
// position and advances it by exactly what the socket accepted, so the unsent rest goes with the
// next send; a receive writes what arrived at the put position.
#include <cstddef>
#include <span>

#include "objects/streams/string_stream.h"

namespace vexil::net {

// The bytes a send of up to length offers: from the get position, never past the end of the
// content; empty when the stream is closed, not readable, or read to the end.
std::span<const uint8_t> unsentBytes(const objects::StringStream& stream, int length);
// After the socket took `sent` bytes of what unsentBytes offered (negative: the send failed and
// took none), the get position moves past them.
void markSent(objects::StringStream& stream, long sent);
// Writes what a receive brought at the put position; a count ≤ 0 writes nothing.
void storeReceived(objects::StringStream& stream, std::span<const uint8_t> buffer, long count);

}  // namespace vexil::net
