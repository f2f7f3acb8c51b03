#include "net/mail/data_lines.h"

namespace vexil::net::mail {

bool DataLines::next(std::string* line) {
  if (rest_.empty()) return false;
  size_t end = rest_.find_first_of("\r\n");
  std::string_view text = rest_.substr(0, end);
  size_t used = text.size();
  if (end != std::string_view::npos) {
    used += (rest_[end] == '\r' && end + 1 < rest_.size() && rest_[end + 1] == '\n') ? 2 : 1;
  }
  line->clear();
  if (!text.empty() && text.front() == '.') line->push_back('.');
  line->append(text);
  line->append("\r\n");
  rest_.remove_prefix(used);
  return true;
}

bool hasEightBitBytes(std::string_view bytes) {
  for (char c : bytes) {
    if (static_cast<unsigned char>(c) > 127) return true;
  }
  return false;
}

}  // namespace vexil::net::mail
