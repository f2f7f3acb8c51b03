#include "net/socket/stream_transfer.h"

#include <algorithm>

#include "objects/streams/stream_constants.h"

namespace vexil::net {

std::span<const uint8_t> unsentBytes(const objects::StringStream& stream, int length) {
  if (!stream.isOpen() || !(stream.mode() & objects::kStreamIn) || length <= 0) return {};
  std::span<const uint8_t> content = stream.bytes();
  if (stream.getPos() >= content.size()) return {};
  size_t start = size_t(stream.getPos());
  return content.subspan(start, std::min(content.size() - start, size_t(length)));
}

void markSent(objects::StringStream& stream, long sent) {
  if (sent <= 0) return;
  stream.seekGet(stream.getPos() + uint64_t(sent));
}

void storeReceived(objects::StringStream& stream, std::span<const uint8_t> buffer, long count) {
  if (count <= 0) return;
  stream.write(buffer.data(), std::min(buffer.size(), size_t(count)));
}

}  // namespace vexil::net
