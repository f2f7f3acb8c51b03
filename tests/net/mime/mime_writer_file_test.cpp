// Composing from files: parts read from a file in pieces (kept ranges as they are, new files
// encoded to base64 as they are copied) compose to exactly the bytes the same parts in memory do,
// and a boundary never occurs inside a part kept in a file either.
#include <gtest/gtest.h>

#include <string>

#include "net/mime/body_base64.h"
#include "net/mime/mime_reader.h"
#include "net/mime/mime_writer.h"

namespace vexil::net::mime {
namespace {

std::string someBytes(size_t size) {
  std::string bytes(size, '\0');
  uint32_t x = 7;
  for (char& c : bytes) c = char((x = x * 1103515245 + 12345) >> 24);
  return bytes;
}

platform::StdioFile fileWith(std::string_view bytes) {
  platform::StdioFile file = platform::StdioFile::openTemporary();
  EXPECT_TRUE(file.isOpen());
  file.write(bytes.data(), bytes.size());
  file.flush();
  return file;
}

std::string composedFromFile(const MailDraft& draft) {
  platform::StdioFile out = platform::StdioFile::openTemporary();
  FileSink sink(out);
  BoundaryMaker boundaries;
  composeBodyTo(draft, boundaries, sink);
  EXPECT_FALSE(sink.failed());
  std::string bytes;
  readFileRange(out, {0, sink.written()}, [&](std::string_view piece) { bytes += piece; });
  return bytes;
}

TEST(MimeWriterFileTest, PartsFromFilesComposeToTheBytesOfPartsInMemory) {
  // Sizes around the piece size and the 57-byte groups of a base64 line.
  for (size_t size : {size_t(0), size_t(1), size_t(56), size_t(57), size_t(58), size_t(57 * 1024 - 1),
                      size_t(57 * 1024), size_t(57 * 1024 + 1), size_t(200003)}) {
    std::string raw = someBytes(size);
    std::string encoded = encodeBase64Lines(raw, 76);
    platform::StdioFile rawFile = fileWith("prefix" + raw);
    platform::StdioFile keptFile = fileWith(encoded + "suffix");

    MailDraft inMemory, fromFiles;
    inMemory.attachments.push_back({"application/octet-stream", "new.bin", {}, TransferEncoding::kBase64, encoded, {}});
    inMemory.attachments.push_back({"application/octet-stream", "kept.bin", {}, TransferEncoding::kBase64, encoded, {}});
    fromFiles.attachments.push_back({"application/octet-stream", "new.bin", {}, TransferEncoding::kBase64, {},
                                     FileBytes{&rawFile, {6, 6 + size}, true}});
    fromFiles.attachments.push_back({"application/octet-stream", "kept.bin", {}, TransferEncoding::kBase64, {},
                                     FileBytes{&keptFile, {0, encoded.size()}, false}});
    BoundaryMaker boundaries;
    EXPECT_EQ(composedFromFile(fromFiles), composeBody(inMemory, boundaries).bytes) << size;
  }
}

TEST(MimeWriterFileTest, BoundariesNeverOccurInsidePartsKeptInFiles) {
  BoundaryMaker probe;
  // The clash straddles a piece boundary of the file reader.
  std::string clash = std::string(57 * 1024 - 10, 'x') + "--" + probe.next() + "\r\n";
  platform::StdioFile file = fileWith(clash);
  MailDraft draft;
  draft.attachments.push_back({"text/plain", "a.txt", {}, TransferEncoding::kBinary, {},
                               FileBytes{&file, {0, clash.size()}, false}});
  std::string composed = composedFromFile(draft);
  ParsedMessage parsed = readMessage(composed);
  ASSERT_EQ(parsed.parts.attachments.size(), 1u);
  const ByteRange& r = parsed.parts.attachments[0].range;
  EXPECT_EQ(composed.substr(r.start, r.size()), clash);
}

}  // namespace
}  // namespace vexil::net::mime
