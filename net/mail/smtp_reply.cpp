#include "net/mail/smtp_reply.h"

#include <charconv>

#include "platform/text_case.h"

namespace vexil::net::mail {

SmtpReplyReader::State SmtpReplyReader::read(LineBuffer& buffer) {
  std::string line;
  while (state_ == State::kMore) {
    LineBuffer::Take took = buffer.takeLine(kMaxReplyLineBytes, &line);
    if (took == LineBuffer::Take::kNeedMore) break;
    if (took == LineBuffer::Take::kTooLong || text_.size() + line.size() > kMaxReplyBytes) {
      state_ = State::kBad;
      break;
    }
    text_ += line;
    if (isFinalReplyLine(line)) state_ = State::kDone;
  }
  return state_;
}

void SmtpReplyReader::reset() {
  text_.clear();
  state_ = State::kMore;
}

bool isFinalReplyLine(std::string_view line) { return !(line.size() >= 4 && line[3] == '-'); }

namespace {

std::string_view finalLine(std::string_view reply) {
  std::string_view body = withoutLineEnd(reply);
  size_t lastBreak = body.rfind('\n');
  return lastBreak == std::string_view::npos ? body : body.substr(lastBreak + 1);
}

std::string_view nextWord(std::string_view& text) {
  size_t start = text.find_first_not_of(' ');
  if (start == std::string_view::npos) {
    text = {};
    return {};
  }
  text.remove_prefix(start);
  size_t end = std::min(text.find(' '), text.size());
  std::string_view word = text.substr(0, end);
  text.remove_prefix(end);
  return word;
}

void readAuthWords(std::string_view words, SmtpCapabilities& offered) {
  for (std::string_view word = nextWord(words); !word.empty(); word = nextWord(words)) {
    if (platform::equalsIgnoringAsciiCase(word, "CRAM-MD5")) offered.cramMd5 = true;
    else if (platform::equalsIgnoringAsciiCase(word, "LOGIN")) offered.login = true;
    else if (platform::equalsIgnoringAsciiCase(word, "PLAIN")) offered.plain = true;
  }
}

// One capability line without its code: a keyword, then parameters. "AUTH=" is the form some
// older servers use beside "AUTH ".
void readCapability(std::string_view line, SmtpCapabilities& offered) {
  if (line.size() >= 5 && platform::equalsIgnoringAsciiCase(line.substr(0, 4), "AUTH") &&
      (line[4] == ' ' || line[4] == '=')) {
    return readAuthWords(line.substr(5), offered);
  }
  std::string_view keyword = nextWord(line);
  if (platform::equalsIgnoringAsciiCase(keyword, "8BITMIME")) offered.eightBitMime = true;
  if (platform::equalsIgnoringAsciiCase(keyword, "SMTPUTF8")) offered.smtpUtf8 = true;
  if (platform::equalsIgnoringAsciiCase(keyword, "STARTTLS")) offered.startTls = true;
  if (platform::equalsIgnoringAsciiCase(keyword, "SIZE")) {
    std::string_view number = nextWord(line);
    uint64_t limit = 0;
    auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), limit);
    offered.sizeLimit = (error == std::errc() && end == number.data() + number.size()) ? limit : 0;
  }
}

}  // namespace

std::optional<int> replyCode(std::string_view reply) {
  std::string_view line = finalLine(reply);
  int code = 0;
  size_t digits = 0;
  while (digits < line.size() && digits < 6 && line[digits] >= '0' && line[digits] <= '9') {
    code = code * 10 + (line[digits] - '0');
    ++digits;
  }
  if (digits == 0) return std::nullopt;
  return code;
}

bool replyInClass(std::string_view reply, int expectedClass) {
  std::optional<int> code = replyCode(reply);
  return code && *code >= expectedClass && *code < expectedClass + 100;
}

// Capabilities stand on the lines after the first (which names the server), each behind its
// "250-" or "250 ".
SmtpCapabilities parseEhloReply(std::string_view reply) {
  SmtpCapabilities offered;
  bool first = true;
  while (!reply.empty()) {
    size_t end = std::min(reply.find('\n'), reply.size() - 1);
    std::string_view line = withoutLineEnd(reply.substr(0, end + 1));
    reply.remove_prefix(end + 1);
    if (!first && line.size() > 4 && line.substr(0, 3) == "250" && (line[3] == '-' || line[3] == ' ')) {
      readCapability(line.substr(4), offered);
    }
    first = false;
  }
  return offered;
}

AuthMechanism chooseMechanism(const SmtpCapabilities& offered) {
  if (offered.cramMd5) return AuthMechanism::kCramMd5;
  if (offered.login) return AuthMechanism::kLogin;
  if (offered.plain) return AuthMechanism::kPlain;
  return AuthMechanism::kNone;
}

}  // namespace vexil::net::mail
