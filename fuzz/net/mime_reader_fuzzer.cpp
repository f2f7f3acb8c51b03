// Any bytes as a message: the part table's ranges lie inside the message, every body decodes,
// reading it through a small window (as a message file is read) gives the same fields and parts,
// and recomposing the parts as they are gives a message that reads back to the same parts.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "net/mime/mime_reader.h"
#include "net/mime/mime_writer.h"

namespace {

using namespace vexil::net::mime;

void checkRange(ByteRange range, size_t size) {
  if (range.start > range.end || range.end > size) std::abort();
}

size_t partCount(const MailPartTable& t) {
  return t.attachments.size() + t.htmlItems.size() + (t.text ? 1 : 0) + (t.html ? 1 : 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view message(reinterpret_cast<const char*>(data), size);
  ParsedMessage parsed = readMessage(message);
  MessageSource windowed(size, [&](uint64_t offset, char* into, size_t length) {
    size_t n = std::min<size_t>(length, size - size_t(offset));
    std::memcpy(into, data + offset, n);
    return n;
  }, 1 + (size ? data[0] % 61 : 0));
  if (!(readMessage(windowed) == parsed)) std::abort();
  const MailPartTable& t = parsed.parts;
  for (const auto* body : {&t.text, &t.html})
    if (*body) {
      checkRange((*body)->range, size);
      decodeBody(message.substr((*body)->range.start, (*body)->range.size()), (*body)->encoding);
    }
  for (const auto* group : {&t.attachments, &t.htmlItems})
    for (const MailPart& p : *group) {
      checkRange(p.range, size);
      if (p.name.find_first_of("\\/\r\n") != std::string::npos) std::abort();
      decodeBody(message.substr(p.range.start, p.range.size()), p.encoding);
    }
  BoundaryMaker boundaries{1, 2, 3};
  ComposedBody again = composeBody(draftOf(t, message), boundaries);
  std::string recomposed = composeHeaderBlock(parsed.headers, parsed.headers.priority, true) + again.bytes;
  ParsedMessage back = readMessage(recomposed);
  // An empty text body is written only inside an HTML alternative block, so counts may differ there.
  if (partCount(back.parts) < partCount(t) || back.parts.attachments.size() != t.attachments.size() ||
      back.parts.htmlItems.size() != t.htmlItems.size())
    std::abort();
  return 0;
}
