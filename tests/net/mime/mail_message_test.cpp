// The message over its file: what a change does to the file and the flag, layouts as members build
// them, parts copied by range, files written and read back, and the transport's bytes.
#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <string>

#include "net/mime/mail_message.h"

namespace vexil::net::mime {
namespace {

// Each run names its files apart: the plain and the collector-stress runs of these tests may run at
// the same time and share the temporary folder.
std::string scratch(const std::string& name) {
  static const std::string kRun = std::to_string(std::random_device{}());
  return ::testing::TempDir() + "mail_message_test_" + kRun + "_" + name;
}

void writeFile(const std::string& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string someBytes(size_t size) {
  std::string bytes(size, '\0');
  uint32_t x = 12345;
  for (char& c : bytes) c = char((x = x * 1103515245 + 12345) >> 24);
  return bytes;
}

TEST(MailMessageTest, NewMessageWithTextToAndFromSavesAsTheSinglePartForm) {
  auto m = MailMessage::create();
  ASSERT_TRUE(m);
  EXPECT_EQ(m->priority(), 0);
  m->setText("Hello");
  m->setField(&MailHeaders::to, "you@example.com");
  m->setField(&MailHeaders::from, "me@example.com");
  EXPECT_TRUE(m->modified());
  std::optional<std::string> text = m->asText();
  ASSERT_TRUE(text);
  EXPECT_EQ(*text,
            "From: me@example.com\r\nTo: you@example.com\r\nSubject: \r\nMIME-Version: 1.0\r\n"
            "X-Mailer: Lumarc.Vexil\r\nX-Priority: 0\r\n"
            "Content-Type: text/plain; charset=\"utf-8\"\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\n"
            "Hello=\r\n");
  EXPECT_FALSE(m->modified());  // the file now holds the whole message
  EXPECT_EQ(m->size(), text->size());
  EXPECT_EQ(m->decoded(m->parts().text), "Hello");  // ranges moved with the header block
}

TEST(MailMessageTest, SizeCountsTheHeaderBlockWhileModified) {
  auto m = MailMessage::create();
  m->setField(&MailHeaders::subject, "Numbers");
  uint64_t before = m->size();
  EXPECT_EQ(m->asText()->size(), before);
}

TEST(MailMessageTest, MembersBuildTheLayoutTheMessageNeeds) {
  std::string file = scratch("layout.bin");
  writeFile(file, "abc");
  auto m = MailMessage::create();
  m->setText("plain");
  m->addAttachment(file, "layout.bin", "application/octet-stream");
  std::string mixed = *m->asText();
  EXPECT_NE(mixed.find("Content-Type: multipart/mixed;"), std::string::npos);
  EXPECT_LT(mixed.find("text/plain"), mixed.find("name=\"layout.bin\""));  // the text part first

  auto h = MailMessage::create();
  h->setHtml("<p>hi</p>");
  std::string related = *h->asText();
  size_t top = related.find("Content-Type: multipart/related;\r\n\ttype=");
  size_t nested = related.find("Content-Type: multipart/related;\r\n\tboundary=");
  size_t alternative = related.find("Content-Type: multipart/alternative;");
  EXPECT_NE(top, std::string::npos);
  EXPECT_LT(top, nested);
  EXPECT_LT(nested, alternative);
  EXPECT_EQ(h->decoded(h->parts().html), "<p>hi</p>");
}

TEST(MailMessageTest, PartsSurviveEveryLaterChangeByteForByte) {
  std::string file = scratch("big.bin"), back = scratch("big.back");
  std::string bytes = someBytes(1 << 20);
  writeFile(file, bytes);
  auto m = MailMessage::create();
  m->addAttachment(file, "big.bin", "application/octet-stream");
  m->addHtmlItem(file, "big.bin", "pic1", "image/png");
  m->setText("after");
  m->setHtml("<img src=\"cid:pic1\">");
  m->setField(&MailHeaders::subject, "later");
  ASSERT_TRUE(m->asText());
  m->setField(&MailHeaders::to, "after@example.com");  // from the completed file again
  ASSERT_EQ(m->parts().attachments.size(), 1u);
  ASSERT_EQ(m->parts().htmlItems.size(), 1u);
  EXPECT_EQ(m->parts().htmlItems[0].contentId, "pic1");
  for (const MailPart* part : {&m->parts().attachments[0], &m->parts().htmlItems[0]}) {
    ASSERT_TRUE(m->savePart(*part, back));
    EXPECT_EQ(readFile(back), bytes);
  }
  EXPECT_EQ(m->decoded(m->parts().text), "after");
}

TEST(MailMessageTest, RemovingPartsKeepsTheOthersAndIgnoresIndexesOutOfRange) {
  std::string a = scratch("a.txt"), b = scratch("b.txt"), back = scratch("ab.back");
  writeFile(a, "first");
  writeFile(b, "second");
  auto m = MailMessage::create();
  m->addAttachment(a, "a.txt", "text/plain");
  m->addAttachment(b, "b.txt", "text/plain");
  EXPECT_FALSE(m->removeAttachment(2));
  EXPECT_FALSE(m->removeHtmlItem(0));
  ASSERT_EQ(m->parts().attachments.size(), 2u);
  EXPECT_TRUE(m->removeAttachment(0));
  ASSERT_EQ(m->parts().attachments.size(), 1u);
  EXPECT_EQ(m->parts().attachments[0].name, "b.txt");
  ASSERT_TRUE(m->savePart(m->parts().attachments[0], back));
  EXPECT_EQ(readFile(back), "second");
}

TEST(MailMessageTest, AMissingFileGivesAnEmptyPartAndUnwritablePathsFail) {
  auto m = MailMessage::create();
  EXPECT_TRUE(m->addAttachment(scratch("no-such-file"), "no-such-file", "application/octet-stream"));
  ASSERT_EQ(m->parts().attachments.size(), 1u);
  EXPECT_EQ(m->parts().attachments[0].range.size(), 0u);
  EXPECT_FALSE(m->load(scratch("no-such-file")));
  EXPECT_EQ(m->parts().attachments.size(), 1u);  // a failed load leaves the message alone
  EXPECT_FALSE(m->save(scratch("no-such-folder/x.eml")));
}

TEST(MailMessageTest, LoadParsesTheFileAndClearsTheModifiedFlag) {
  std::string path = scratch("load.eml");
  const std::string message =
      "From: a@example.org\r\nTo: b@example.org\r\nBcc: hidden@example.org\r\nX-Priority: 1\r\n"
      "Content-Type: text/plain\r\n\r\nbody\r\n";
  writeFile(path, message);
  auto m = MailMessage::create();
  m->setField(&MailHeaders::subject, "will be replaced");
  ASSERT_TRUE(m->load(path));
  EXPECT_FALSE(m->modified());
  EXPECT_EQ(m->priority(), 1);
  EXPECT_FALSE(m->headers().subject);
  EXPECT_EQ(m->asText(), message);  // no second header block
  EXPECT_EQ(m->size(), message.size());
  EXPECT_EQ(m->decoded(m->parts().text), "body\r\n");
}

TEST(MailMessageTest, TransportBytesNeverCarryBcc) {
  auto loaded = MailMessage::fromBytes(
      "From: a@example.org\r\nBCC: hidden@example.org,\r\n\tmore@example.org\r\nTo: b@example.org\r\n\r\nbody");
  ASSERT_TRUE(loaded);
  EXPECT_EQ(loaded->transportBytes(), "From: a@example.org\r\nTo: b@example.org\r\n\r\nbody");
  EXPECT_FALSE(loaded->modified());

  auto composed = MailMessage::create();
  composed->setField(&MailHeaders::bcc, "hidden@example.org");
  composed->setText("x");
  std::string sent = *composed->transportBytes();
  EXPECT_EQ(sent.find("hidden"), std::string::npos);
  EXPECT_TRUE(composed->modified());  // the object is left as it was
  EXPECT_NE(composed->asText()->find("BCC: hidden@example.org\r\n"), std::string::npos);
}

// After a send the message keeps what went out (Bcc included in its own file) and is no longer
// modified, so sending it again sends the same bytes.
TEST(MailMessageTest, ASentMessageIsSettledAndSendsTheSameBytesAgain) {
  auto composed = MailMessage::create();
  composed->setField(&MailHeaders::to, "b@example.org");
  composed->setField(&MailHeaders::bcc, "hidden@example.org");
  composed->setText("body");
  std::string first = *composed->transportBytes();
  ASSERT_TRUE(composed->settleAfterSend());
  EXPECT_FALSE(composed->modified());
  EXPECT_EQ(*composed->transportBytes(), first);
  EXPECT_NE(composed->asText()->find("BCC: hidden@example.org\r\n"), std::string::npos);
}

TEST(MailMessageTest, FieldsCannotAddLinesToTheHeaderBlock) {
  const char* kInjections[] = {"x\r\nBcc: evil@example.org", "x\nBcc: evil@example.org", "x\r\n\r\nbody"};
  for (const char* value : kInjections) {
    auto m = MailMessage::create();
    m->setField(&MailHeaders::subject, value);
    m->setField(&MailHeaders::to, value);
    auto back = MailMessage::fromBytes(*m->asText());
    EXPECT_FALSE(back->headers().bcc) << value;
    EXPECT_EQ(back->decoded(back->parts().text), "") << value;
  }
}

TEST(MailMessageTest, HugeFieldsAreFoldedAndReadBack) {
  std::string huge(100000, 'a');
  std::string wide;
  for (int i = 0; i < 5000; ++i) wide += "\xc3\xa9 ";  // e acute, needs encoding
  auto m = MailMessage::create();
  m->setField(&MailHeaders::to, huge);
  m->setField(&MailHeaders::subject, wide);
  auto back = MailMessage::fromBytes(*m->asText());
  EXPECT_EQ(back->headers().to, huge);
  EXPECT_EQ(back->headers().subject, wide.substr(0, wide.size() - 1));  // the trailing blank is trimmed
}

}  // namespace
}  // namespace vexil::net::mime
