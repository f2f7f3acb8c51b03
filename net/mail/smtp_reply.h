#pragma once
// SMTP replies: one reply is one or more lines "ddd-text" ending with a final "ddd text" (or a
// bare "ddd"). The reply is read to its final line, so a long multi-line answer never leaves
// lines behind that a later command would take for its own answer. Bounded in size and lines.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "net/mail/line_buffer.h"

namespace vexil::net::mail {

inline constexpr size_t kMaxReplyLineBytes = 4096;
inline constexpr size_t kMaxReplyBytes = 64 * 1024;

class SmtpReplyReader {
 public:
  enum class State { kMore, kDone, kBad };
  // Takes lines from the buffer until the reply is complete (kDone), more bytes are needed
  // (kMore), or the reply breaks a bound (kBad).
  State read(LineBuffer& buffer);
  const std::string& text() const { return text_; }  // every line with its line end
  void reset();

 private:
  std::string text_;
  State state_ = State::kMore;
};

// A continued line has a hyphen after its three-character code; any other line ends the reply.
bool isFinalReplyLine(std::string_view line);
// The leading decimal digits of the reply's final line; nothing when there are none.
std::optional<int> replyCode(std::string_view reply);
// The code is in [expectedClass, expectedClass + 100).
bool replyInClass(std::string_view reply, int expectedClass);

enum class AuthMechanism { kNone, kCramMd5, kLogin, kPlain };

// What a server's EHLO reply offers.
struct SmtpCapabilities {
  bool cramMd5 = false, login = false, plain = false;
  bool eightBitMime = false, smtpUtf8 = false;
  bool startTls = false;
  std::optional<uint64_t> sizeLimit;  // SIZE with a number; 0 means no fixed limit
};

SmtpCapabilities parseEhloReply(std::string_view reply);
// The strongest mechanism offered: CRAM-MD5, then LOGIN, then PLAIN.
AuthMechanism chooseMechanism(const SmtpCapabilities& offered);

}  // namespace vexil::net::mail
