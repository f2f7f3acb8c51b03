#include "net/mail/line_buffer.h"

namespace vexil::net::mail {

LineBuffer::Take LineBuffer::takeLine(size_t maxLength, std::string* line) {
  std::string_view rest = peek();
  size_t end = rest.find('\n');
  if (end == std::string_view::npos) return rest.size() > maxLength ? Take::kTooLong : Take::kNeedMore;
  if (end + 1 > maxLength) return Take::kTooLong;
  line->assign(rest.substr(0, end + 1));
  consume(end + 1);
  return Take::kLine;
}

void LineBuffer::consume(size_t bytes) {
  start_ += std::min(bytes, pending_.size() - start_);
  compact();
}

void LineBuffer::clear() {
  pending_.clear();
  start_ = 0;
}

// Taken bytes are dropped once they outweigh what is left, so a long reply read line by line
// stays linear.
void LineBuffer::compact() {
  if (start_ == pending_.size()) return clear();
  if (start_ > 4096 && start_ > pending_.size() / 2) {
    pending_.erase(0, start_);
    start_ = 0;
  }
}

std::string_view withoutLineEnd(std::string_view line) {
  if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

}  // namespace vexil::net::mail
