#include "net/mail/pop3_reply.h"

#include <charconv>

#include "net/mail/line_buffer.h"

namespace vexil::net::mail {

bool isPositiveStatus(std::string_view statusLine) { return statusLine.substr(0, 3) == "+OK"; }

size_t DotUnstuffer::feed(std::string_view bytes, std::string* out) {
  size_t used = 0;
  size_t runStart = 0;  // plain bytes inside a line are copied in runs
  auto flush = [&] { out->append(bytes.substr(runStart, used - runStart)); };
  while (used < bytes.size() && state_ != State::kDone) {
    char c = bytes[used];
    switch (state_) {
      case State::kInLine:
        if (c == '\n') state_ = State::kLineStart;
        ++used;
        continue;
      case State::kLineStart:
        if (c != '.') {
          state_ = c == '\n' ? State::kLineStart : State::kInLine;
          ++used;
          continue;
        }
        flush();
        state_ = State::kDotAtStart;
        break;
      case State::kDotAtStart:
        if (c == '\r') state_ = State::kDotCr;
        else if (c == '\n') state_ = State::kDone;
        else {
          out->push_back(c);  // the stuffed dot goes, the byte after it stays
          state_ = c == '\n' ? State::kLineStart : State::kInLine;
        }
        break;
      case State::kDotCr:
        if (c == '\n') state_ = State::kDone;
        else {
          out->push_back('\r');
          out->push_back(c);
          state_ = State::kInLine;
        }
        break;
      case State::kDone: break;
    }
    ++used;
    runStart = used;
  }
  if (runStart < used) flush();
  return used;
}

std::string statusText(std::string_view statusLine) {
  std::string_view text = withoutLineEnd(statusLine);
  text.remove_prefix(std::min<size_t>(text.size(), 3));
  if (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  return std::string(text);
}

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view skipBlanks(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  return text;
}

}  // namespace

std::optional<ListingEntry> parseListingLine(std::string_view line) {
  std::string_view text = skipBlanks(withoutLineEnd(line));
  int64_t number = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (error != std::errc() || number < 1 || number > kMaxMessageNumber) return std::nullopt;
  text.remove_prefix(size_t(end - text.data()));
  if (text.empty() || !isBlank(text.front())) return std::nullopt;
  text = skipBlanks(text);
  size_t valueEnd = 0;
  while (valueEnd < text.size() && !isBlank(text[valueEnd])) ++valueEnd;
  if (valueEnd == 0) return std::nullopt;
  return ListingEntry{number, std::string(text.substr(0, valueEnd))};
}

std::optional<ListingEntry> parseListingStatus(std::string_view statusLine) {
  if (!isPositiveStatus(statusLine)) return std::nullopt;
  return parseListingLine(statusLine.substr(3));
}

std::vector<ListingEntry> parseListing(std::string_view data) {
  std::vector<ListingEntry> entries;
  while (!data.empty()) {
    size_t end = std::min(data.find('\n'), data.size() - 1);
    if (auto entry = parseListingLine(data.substr(0, end + 1))) entries.push_back(std::move(*entry));
    data.remove_prefix(end + 1);
  }
  return entries;
}

std::optional<int64_t> listingSize(const ListingEntry& entry) {
  int64_t size = 0;
  const char* first = entry.value.data();
  const char* last = first + entry.value.size();
  auto [end, error] = std::from_chars(first, last, size);
  if (error != std::errc() || end != last || size < 0) return std::nullopt;
  return size;
}

// The timestamp is a message-id form: "<", no blanks or further "<", ">" .
std::optional<std::string> apopTimestamp(std::string_view greeting) {
  greeting = withoutLineEnd(greeting);
  size_t open = greeting.find('<');
  if (open == std::string_view::npos) return std::nullopt;
  size_t close = greeting.find('>', open);
  if (close == std::string_view::npos || close == open + 1) return std::nullopt;
  std::string_view stamp = greeting.substr(open, close - open + 1);
  if (stamp.find_first_of(" \t<", 1) != std::string_view::npos) return std::nullopt;
  return std::string(stamp);
}

}  // namespace vexil::net::mail
