// Composing messages: the layouts, the header block, and that what is composed reads back into the
// same parts and bytes (and composes again to the same message).
#include <gtest/gtest.h>

#include <string>

#include "net/mime/body_base64.h"
#include "net/mime/mime_reader.h"
#include "net/mime/mime_writer.h"

namespace vexil::net::mime {
namespace {

std::string_view bytesOf(std::string_view message, ByteRange range) {
  return message.substr(range.start, range.size());
}

struct Fixture {
  std::string textStorage, htmlStorage, attachmentStorage, itemStorage;
  MailDraft draft;
  void text(std::string_view t) { draft.text = newTextBody("text/plain", t, textStorage); }
  void html(std::string_view t) { draft.html = newTextBody("text/html", t, htmlStorage); }
  void attach(std::string name, std::string_view bytes) {
    attachmentStorage = encodeBase64Lines(bytes, 76);
    draft.attachments.push_back({"application/octet-stream", std::move(name), {}, TransferEncoding::kBase64, attachmentStorage, {}});
  }
  void item(std::string name, std::string id, std::string_view bytes) {
    itemStorage = encodeBase64Lines(bytes, 76);
    draft.htmlItems.push_back({"image/png", std::move(name), std::move(id), TransferEncoding::kBase64, itemStorage, {}});
  }
};

TEST(MimeWriterTest, TextOnlyMessageIsOneQuotedPrintablePart) {
  Fixture f;
  f.text("Hello");
  BoundaryMaker boundaries;
  MailHeaders headers;
  headers.from = "me@example.com";
  headers.to = "you@example.com";
  std::string message = composeHeaderBlock(headers, 0, true) + composeBody(f.draft, boundaries).bytes;
  EXPECT_EQ(message,
            "From: me@example.com\r\n"
            "To: you@example.com\r\n"
            "Subject: \r\n"
            "MIME-Version: 1.0\r\n"
            "X-Mailer: Lumarc.Vexil\r\n"
            "X-Priority: 0\r\n"
            "Content-Type: text/plain; charset=\"utf-8\"\r\n"
            "Content-Transfer-Encoding: quoted-printable\r\n"
            "\r\n"
            "Hello=\r\n");
  ParsedMessage back = readMessage(message);
  ASSERT_TRUE(back.parts.text);
  EXPECT_EQ(decodeBody(bytesOf(message, back.parts.text->range), back.parts.text->encoding), "Hello");
  EXPECT_EQ(back.headers.priority, 0);
}

TEST(MimeWriterTest, LayoutFollowsWhatTheMessageHolds) {
  struct Case {
    const char* name;
    bool text, html, item, attachment;
    std::vector<std::string> contentTypes;  // the Content-Type lines' media types, in order
  };
  const Case cases[] = {
      {"html", false, true, false, false,
       {"multipart/related", "multipart/related", "multipart/alternative", "text/plain", "text/html"}},
      {"text and attachment", true, false, false, true, {"multipart/mixed", "text/plain", "application/octet-stream"}},
      {"attachment alone", false, false, false, true, {"multipart/mixed", "application/octet-stream"}},
      {"html and item", true, true, true, false,
       {"multipart/related", "multipart/alternative", "text/plain", "text/html", "image/png"}},
      {"everything", true, true, true, true,
       {"multipart/mixed", "multipart/related", "multipart/alternative", "text/plain", "text/html", "image/png",
        "application/octet-stream"}},
  };
  for (const Case& c : cases) {
    Fixture f;
    if (c.text) f.text("t");
    if (c.html) f.html("<b>h</b>");
    if (c.item) f.item("i.png", "i@x", "png");
    if (c.attachment) f.attach("a.bin", "bin");
    BoundaryMaker boundaries;
    std::string body = composeBody(f.draft, boundaries).bytes;
    std::vector<std::string> types;
    for (size_t at = 0; (at = body.find("Content-Type: ", at)) != std::string::npos; at += 14)
      types.push_back(body.substr(at + 14, body.find_first_of(";\r", at + 14) - at - 14));
    EXPECT_EQ(types, c.contentTypes) << c.name;
  }
}

TEST(MimeWriterTest, ComposedMessagesReadBackIntoTheSamePartsAndBytes) {
  Fixture f;
  f.text("Line one\nline two \n\xC3\xA9t\xC3\xA9");
  f.html("<p>\xE2\x82\xAC</p>");
  f.item("logo.png", "logo@vexil", std::string("\x89PNG\0\x01", 6));
  f.attach("r\xC3\xA9sum\xC3\xA9 final.pdf", std::string(1000, '\xFF'));
  BoundaryMaker boundaries{1, 2, 0};
  ComposedBody composed = composeBody(f.draft, boundaries);
  std::string message = composeHeaderBlock({}, 3, true) + composed.bytes;
  ParsedMessage parsed = readMessage(message);
  const MailPartTable& t = parsed.parts;
  ASSERT_TRUE(t.text && t.html);
  EXPECT_EQ(decodeBody(bytesOf(message, t.text->range), t.text->encoding), "Line one\r\nline two \r\n\xC3\xA9t\xC3\xA9");
  EXPECT_EQ(decodeBody(bytesOf(message, t.html->range), t.html->encoding), "<p>\xE2\x82\xAC</p>");
  ASSERT_EQ(t.htmlItems.size(), 1u);
  EXPECT_EQ(t.htmlItems[0].name, "logo.png");
  EXPECT_EQ(t.htmlItems[0].contentId, "logo@vexil");
  EXPECT_EQ(decodeBody(bytesOf(message, t.htmlItems[0].range), t.htmlItems[0].encoding), std::string("\x89PNG\0\x01", 6));
  ASSERT_EQ(t.attachments.size(), 1u);
  EXPECT_EQ(t.attachments[0].name, "r\xC3\xA9sum\xC3\xA9 final.pdf");
  EXPECT_EQ(decodeBody(bytesOf(message, t.attachments[0].range), t.attachments[0].encoding), std::string(1000, '\xFF'));

  // Kept parts are copied by range: composing the parsed message again gives the same body.
  BoundaryMaker again{1, 2, 0};
  std::string_view body = std::string_view(message).substr(message.size() - composed.bytes.size());
  EXPECT_EQ(composeBody(draftOf(t, message), again).bytes, body);
}

TEST(MimeWriterTest, BoundariesNeverOccurInsideKeptParts) {
  BoundaryMaker probe;
  std::string clash = "--" + probe.next() + "\r\n";
  MailDraft draft;
  draft.attachments.push_back({"text/plain", "a.txt", {}, TransferEncoding::kBinary, clash, {}});
  BoundaryMaker boundaries;
  ComposedBody composed = composeBody(draft, boundaries);
  ParsedMessage parsed = readMessage(composed.bytes);
  ASSERT_EQ(parsed.parts.attachments.size(), 1u);
  EXPECT_EQ(bytesOf(composed.bytes, parsed.parts.attachments[0].range), clash);
}

TEST(MimeWriterTest, HeaderFieldsCannotInjectLinesAndBccIsLeftOutForSending) {
  MailHeaders h;
  h.from = "a@example.com\r\nBcc: victim@example.com";
  h.to = "b@example.com";
  h.bcc = "hidden@example.com";
  h.subject = "Caf\xC3\xA9\r\n\r\nbody";
  std::string forSending = composeHeaderBlock(h, 1, false);
  EXPECT_EQ(forSending.find("\r\nBcc:"), std::string::npos);
  EXPECT_EQ(forSending.find("BCC:"), std::string::npos);
  EXPECT_EQ(forSending.find("\r\n\r\n"), std::string::npos);
  EXPECT_NE(composeHeaderBlock(h, 1, true).find("BCC: hidden@example.com\r\n"), std::string::npos);
  ParsedMessage back = readMessage(forSending + "\r\n");
  EXPECT_EQ(back.headers.from, "a@example.com Bcc: victim@example.com");
  EXPECT_EQ(back.headers.subject, "Caf\xC3\xA9 body");
  EXPECT_EQ(back.headers.priority, 1);
}

}  // namespace
}  // namespace vexil::net::mime
