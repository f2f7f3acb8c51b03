#include "net/mime/message_source.h"

#include <algorithm>

namespace vexil::net::mime {

std::string_view MessageSource::view(uint64_t offset, size_t length) {
  if (offset >= size_) return {};
  length = size_t(std::min<uint64_t>(length, size_ - offset));
  if (memory_) return whole_.substr(size_t(offset), length);
  if (offset < windowStart_ || offset + length > windowStart_ + window_.size()) refill(offset, length);
  return std::string_view(window_).substr(size_t(offset - windowStart_), length);
}

std::string_view MessageSource::piece(uint64_t offset, uint64_t end) {
  end = std::min(end, size_);
  if (offset >= end) return {};
  if (memory_) return whole_.substr(size_t(offset), size_t(end - offset));
  if (offset < windowStart_ || offset >= windowStart_ + window_.size()) refill(offset, 1);
  uint64_t available = offset >= windowStart_ ? windowStart_ + window_.size() - offset : 0;
  return std::string_view(window_).substr(size_t(offset - windowStart_), size_t(std::min(available, end - offset)));
}

// Refilled from the offset asked for: scans go forward, so the window then serves the next lines.
void MessageSource::refill(uint64_t offset, size_t length) {
  size_t fill = size_t(std::min<uint64_t>(std::max(length, windowBytes_), size_ - offset));
  window_.resize(fill);
  window_.resize(readAt_(offset, window_.data(), fill));
  windowStart_ = offset;
}

}  // namespace vexil::net::mime
