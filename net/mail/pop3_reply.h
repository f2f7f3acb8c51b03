#pragma once
// POP3 answers: a status line ("+OK ..." or "-ERR ..."), and for the multi-line answers the lines
// that follow it up to a line holding a single ".", with the leading "." of stuffed lines removed.
// Everything a server says here is bounded: line lengths, message numbers and sizes.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vexil::net::mail {

inline constexpr size_t kMaxStatusLineBytes = 4096;
// Message numbers a listing may name; a server that claims more does not size our arrays.
inline constexpr int64_t kMaxMessageNumber = 1'000'000;

bool isPositiveStatus(std::string_view statusLine);

// Undoes the dot-stuffing of a multi-line answer as its bytes arrive, in any pieces, and finds the
// line holding a single "." that ends it. The data kept ends with the line end before that line;
// an answer with no lines at all (the "." straight after the status line) gives no data.
class DotUnstuffer {
 public:
  // Appends the unstuffed data of bytes to *out and answers how many bytes were used: all of
  // them, or those up to and including the ending line once it is found.
  size_t feed(std::string_view bytes, std::string* out);
  bool done() const { return state_ == State::kDone; }

 private:
  enum class State { kLineStart, kDotAtStart, kDotCr, kInLine, kDone };
  State state_ = State::kLineStart;
};

// "+OK 2 320" → "2 320": the status line's text after "+OK " without the line end.
std::string statusText(std::string_view statusLine);

// "+OK 3 1200" or a listing line "3 1200": the number and the value after it.
struct ListingEntry {
  int64_t number = 0;
  std::string value;
};
std::optional<ListingEntry> parseListingLine(std::string_view line);
// The same after the "+OK " of a single-message answer.
std::optional<ListingEntry> parseListingStatus(std::string_view statusLine);
// Every well-formed entry of a listing's data (the lines after the status line).
std::vector<ListingEntry> parseListing(std::string_view data);
// A size value as a number; nothing when it is not one.
std::optional<int64_t> listingSize(const ListingEntry& entry);

// The "<...>" timestamp of an APOP-capable greeting; nothing when the greeting has none.
std::optional<std::string> apopTimestamp(std::string_view greeting);

}  // namespace vexil::net::mail
