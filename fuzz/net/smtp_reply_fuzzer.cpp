// Any bytes as an SMTP server's answers, split at a point the input chooses: replies stay within
// their bound, what one reply leaves is the start of the next, and capability parsing and the
// CRAM-MD5 challenge reader take anything.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "net/mail/mail_auth.h"
#include "net/mail/smtp_reply.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vexil::net::mail;
  if (size == 0) return 0;
  size_t split = data[0] % (size);
  std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  split = std::min(split, bytes.size());
  LineBuffer buffer;
  buffer.append(bytes.substr(0, split));
  SmtpReplyReader reader;
  size_t taken = 0;
  for (int piece = 0; piece < 2; ++piece) {
    for (;;) {
      SmtpReplyReader::State state = reader.read(buffer);
      if (state == SmtpReplyReader::State::kMore) break;
      if (state == SmtpReplyReader::State::kBad) return 0;
      if (reader.text().size() > kMaxReplyBytes || reader.text().empty()) std::abort();
      if (!isFinalReplyLine(std::string_view(reader.text()).substr(reader.text().rfind('\n', reader.text().size() - 2) + 1)))
        std::abort();
      taken += reader.text().size();
      parseEhloReply(reader.text());
      replyInClass(reader.text(), 200);
      cramMd5Response("user", "secret", reader.text());
      reader.reset();
    }
    if (piece == 0) buffer.append(bytes.substr(split));
  }
  if (taken + reader.text().size() + buffer.peek().size() != bytes.size()) std::abort();  // nothing lost
  return 0;
}
