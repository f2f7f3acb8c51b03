#pragma once
// Bytes received from a mail server, taken out a line at a time. A line is everything up to and
// including its LF; what follows stays for the next reply, so nothing the server sent early is
// lost. A line longer than the caller's bound is refused instead of growing without end.
#include <cstddef>
#include <string>
#include <string_view>

namespace vexil::net::mail {

class LineBuffer {
 public:
  void append(std::string_view bytes) { pending_.append(bytes); }

  enum class Take { kLine, kNeedMore, kTooLong };
  // Moves the next whole line (with its line end) into *line. kTooLong when no line end has come
  // within maxLength bytes.
  Take takeLine(size_t maxLength, std::string* line);
  // The bytes not yet taken, for readers that take blocks (message bodies) rather than lines.
  std::string_view peek() const { return std::string_view(pending_).substr(start_); }
  void consume(size_t bytes);
  bool empty() const { return start_ == pending_.size(); }
  void clear();

 private:
  std::string pending_;
  size_t start_ = 0;  // bytes before it were taken; dropped when the buffer is compacted
  void compact();
};

// The line without its CR LF (or bare LF).
std::string_view withoutLineEnd(std::string_view line);

}  // namespace vexil::net::mail
