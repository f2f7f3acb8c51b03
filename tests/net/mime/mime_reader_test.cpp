// Reading messages: header fields, the part table's classification, and messages built to
// mislead (unclosed and look-alike boundaries, deep nesting, many parts, paths in names).
#include <gtest/gtest.h>

#include <string>

#include "net/mime/mime_reader.h"

namespace vexil::net::mime {
namespace {

std::string_view bytesOf(std::string_view message, ByteRange range) {
  return message.substr(range.start, range.size());
}

constexpr std::string_view kMixed =
    "From: =?utf-8?Q?Andr=C3=A9?= <andre@example.com>\r\n"
    "Reply-To: reply@example.com\r\n"
    "Subject: Report\r\n"
    "X-Priority: 1 (Highest)\r\n"
    "Content-Type: multipart/mixed; boundary=\"outer\"\r\n"
    "\r\n"
    "preamble\r\n"
    "--outer\r\n"
    "Content-Type: multipart/related; boundary=inner\r\n"
    "\r\n"
    "--inner\r\n"
    "Content-Type: text/html; charset=utf-8\r\n"
    "Content-Transfer-Encoding: quoted-printable\r\n"
    "\r\n"
    "<p>caf=C3=A9</p>=\r\n"
    "\r\n"
    "--inner\r\n"
    "Content-Type: image/png; name=\"logo.png\"\r\n"
    "Content-Transfer-Encoding: base64\r\n"
    "Content-ID: <logo@here>\r\n"
    "\r\n"
    "iVBORw==\r\n"
    "--inner--\r\n"
    "--outer\r\n"
    "Content-Type: text/plain\r\n"
    "\r\n"
    "the text\r\n"
    "--outer\r\n"
    "Content-Type: text/plain; name=\"notes.txt\"\r\n"
    "Content-Disposition: attachment; filename=\"..\\\\..\\\\windows\\\\evil.txt\"\r\n"
    "\r\n"
    "attached\r\n"
    "--outer\r\n"
    "Content-Type: application/pdf\r\n"
    "Content-Transfer-Encoding: BASE64\r\n"
    "\r\n"
    "JVBERi0=\r\n"
    "--outer--\r\n"
    "epilogue\r\n";

TEST(MimeReaderTest, HeaderFieldsAreDecodedAndMatchedAtLineStarts) {
  ParsedMessage m = readMessage(kMixed);
  EXPECT_EQ(m.headers.from, "Andr\xC3\xA9 <andre@example.com>");
  EXPECT_EQ(m.headers.replyTo, "reply@example.com");
  EXPECT_EQ(m.headers.to, std::nullopt);  // "Reply-To:" is not "To:"
  EXPECT_EQ(m.headers.subject, "Report");
  EXPECT_EQ(m.headers.priority, 1);
  EXPECT_EQ(readMessage("Subject: x\r\n\r\n").headers.priority, 3);
}

TEST(MimeReaderTest, PartsAreClassifiedAndTheirBodiesDecoded) {
  ParsedMessage m = readMessage(kMixed);
  const MailPartTable& t = m.parts;
  ASSERT_TRUE(t.html && t.text);
  EXPECT_EQ(decodeBody(bytesOf(kMixed, t.html->range), t.html->encoding), "<p>caf\xC3\xA9</p>");
  EXPECT_EQ(decodeBody(bytesOf(kMixed, t.text->range), t.text->encoding), "the text");
  ASSERT_EQ(t.htmlItems.size(), 1u);
  EXPECT_EQ(t.htmlItems[0].name, "logo.png");
  EXPECT_EQ(t.htmlItems[0].contentId, "logo@here");
  EXPECT_EQ(t.htmlItems[0].contentType, "image/png");
  EXPECT_EQ(decodeBody(bytesOf(kMixed, t.htmlItems[0].range), t.htmlItems[0].encoding), "\x89PNG");
  ASSERT_EQ(t.attachments.size(), 2u);
  EXPECT_EQ(t.attachments[0].name, "evil.txt");
  EXPECT_EQ(bytesOf(kMixed, t.attachments[0].range), "attached");
  EXPECT_EQ(t.attachments[1].name, "attachment 2");
  EXPECT_EQ(t.attachments[1].contentType, "application/pdf");
  EXPECT_EQ(decodeBody(bytesOf(kMixed, t.attachments[1].range), t.attachments[1].encoding), "%PDF-");
}

TEST(MimeReaderTest, MessagesWithoutMimeHeadersAreText) {
  const std::string messages[] = {"From: a@b\r\n\r\nhello\r\n", "From: a@b\n\nhello\n", "hello"};
  for (const std::string& message : messages) {
    ParsedMessage m = readMessage(message);
    ASSERT_TRUE(m.parts.text) << message;
    EXPECT_TRUE(m.parts.attachments.empty());
  }
  std::string lf = "From: a@b\n\nhello\n";
  EXPECT_EQ(bytesOf(lf, readMessage(lf).parts.text->range), "hello\n");
}

TEST(MimeReaderTest, MisleadingBoundariesGiveTheSoundParts) {
  struct Case {
    std::string body;
    std::vector<std::string> attachments;
  };
  const Case cases[] = {
      {"--b\r\n\r\none\r\n--b\r\n\r\ntwo", {"one", "two"}},                       // never closed
      {"--b\r\n\r\none\r\n--bb\r\n--b-- \r\n", {"one\r\n--bb"}},                  // look-alike line
      {"--b\n\nunix\n--b--\n", {"unix"}},                                          // LF line ends
      {"no delimiter at all", {"no delimiter at all"}},                            // read as one part
      {"--b\r\n\r\n\r\n--b--", {""}},                                              // empty part
      {"--b\r\n--b\n--b\r\n\r\nx\r\n--b--", {"x"}},                                  // nothing between delimiters
  };
  for (const Case& c : cases) {
    std::string message = "Content-Type: multipart/mixed; boundary=b\r\n\r\n" + c.body;
    ParsedMessage m = readMessage(message);
    std::vector<std::string> got;
    for (const MailPart& p : m.parts.attachments) got.emplace_back(bytesOf(message, p.range));
    if (m.parts.text) got.insert(got.begin(), std::string(bytesOf(message, m.parts.text->range)));
    EXPECT_EQ(got, c.attachments) << c.body;
  }
}

TEST(MimeReaderTest, DeepNestingAndManyPartsStayBounded) {
  std::string deep;
  for (int i = 0; i < 1000; ++i) deep += "Content-Type: multipart/mixed; boundary=b" + std::to_string(i) + "\r\n\r\n--b" + std::to_string(i) + "\r\n";
  ParsedMessage nested = readMessage(deep);
  EXPECT_EQ(nested.parts.attachments.size() + (nested.parts.text ? 1 : 0), 1u);

  std::string many = "Content-Type: multipart/mixed; boundary=b\r\n\r\n";
  for (int i = 0; i < 10000; ++i) many += "--b\r\nContent-Type: application/x-part\r\n\r\npart\r\n";
  many += "--b--\r\n";
  ParsedMessage wide = readMessage(many);
  ASSERT_EQ(wide.parts.attachments.size(), 10000u);
  EXPECT_EQ(wide.parts.attachments[9999].name, "attachment 10000");
}

TEST(MimeReaderTest, ReceivedNamesLoseTheirFolders) {
  struct Case {
    std::string name, safe;
  };
  const Case cases[] = {
      {"report.pdf", "report.pdf"},
      {"C:\\Windows\\system32\\x.dll", "x.dll"},
      {"../../etc/passwd", "passwd"},
      {"D:evil.txt", "evil.txt"},
      {"a\x01?b*c.txt", "a_b_c.txt"},
      {"..", ""},
      {" spaced name. ", "spaced name"},
  };
  for (const Case& c : cases) EXPECT_EQ(safeFileName(c.name), c.safe) << c.name;
}

}  // namespace
}  // namespace vexil::net::mime
