#include "objects/streams/string_stream.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace vexil::objects {

StringStream::StringStream(uint32_t mode, std::vector<uint8_t> content)
    : content_(std::move(content)), mode_(mode & kStreamInOut) {}

void StringStream::append(std::span<const uint8_t> data) { content_.insert(content_.end(), data.begin(), data.end()); }

std::vector<uint8_t> StringStream::take() {
  std::vector<uint8_t> out = std::exchange(content_, {});
  get_ = put_ = 0;
  clearFlags();
  return out;
}

void StringStream::close() {
  take();
  content_.shrink_to_fit();
  open_ = false;
}

bool StringStream::canRead() {
  if (open_ && (mode_ & kStreamIn)) return true;
  eof_ = fail_ = true;
  return false;
}

bool StringStream::canWrite() {
  if (open_ && (mode_ & kStreamOut)) return true;
  fail_ = true;
  return false;
}

int StringStream::getByte() {
  if (!canRead()) return kStreamEof;
  if (get_ >= content_.size()) {
    eof_ = fail_ = true;
    return kStreamEof;
  }
  return content_[get_++];
}

size_t StringStream::read(void* out, size_t count) {
  if (!canRead()) return 0;
  size_t available = get_ < content_.size() ? content_.size() - get_ : 0;
  size_t n = std::min(count, available);
  if (n) std::memcpy(out, content_.data() + get_, n);
  get_ += n;
  if (n < count) eof_ = fail_ = true;
  return n;
}

size_t StringStream::write(const void* data, size_t count) {
  if (!canWrite() || count == 0) return 0;
  if (put_ + count > content_.size()) content_.resize(put_ + count);
  std::memcpy(content_.data() + put_, data, count);
  put_ += count;
  return count;
}

// A byte that differs from the one there is written over it, so the content says what the next
// read returns; that needs the stream to be open for writing.
bool StringStream::unget(std::optional<uint8_t> byte) {
  if (get_ == 0 || get_ > content_.size()) {
    fail_ = true;
    return false;
  }
  uint8_t& slot = content_[get_ - 1];
  if (byte && *byte != slot) {
    if (!canWrite()) return false;
    slot = *byte;
  }
  --get_;
  return true;
}

bool StringStream::seekGet(uint64_t position) {
  clearFlags();
  if (position > content_.size()) {
    fail_ = true;
    return false;
  }
  get_ = size_t(position);
  return true;
}

bool StringStream::seekPut(uint64_t position) {
  clearFlags();
  if (position > content_.size()) {
    fail_ = true;
    return false;
  }
  put_ = size_t(position);
  return true;
}

}  // namespace vexil::objects
