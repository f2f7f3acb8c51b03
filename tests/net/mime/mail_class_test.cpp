// The Mail class as scripts and the transports see it: members through the machine's entries,
// argument rules, and the transport's view (the message without Bcc, the envelope) and received
// messages made into Mail objects.
#include <gtest/gtest.h>

#include <string>

#include "net/mime/mail_object.h"
#include "tests/support/host_class_fixture.h"

namespace vexil::net::mime {
namespace {

using script::Tag;
using script::Value;

class MailClassTest : public vexil::test::HostClassFixture {
 protected:
  void addClasses(script::ClassRegistry& registry) override {
    registry.set(script::ClassStep::Mail, registerMail);
  }
  Value newMail() { return construct("Mail"); }
};

TEST_F(MailClassTest, FieldsReadBackAsWrittenAndAbsentOnesAreEmpty) {
  Value m = newMail();
  ASSERT_EQ(m.tag, Tag::Native);
  EXPECT_EQ(text(get(m, "subject")), "");
  set(m, "subject", str16(u"Gr\u00fc\u00dfe \u65e5\u672c"));
  EXPECT_EQ(get(m, "subject").string()->view(), u"Gr\u00fc\u00dfe \u65e5\u672c");
  set(m, "priority", integer(2));
  set(m, "priority", str("5"));  // integers only
  set(m, "priority", real(1.5));
  EXPECT_EQ(get(m, "priority").integer(), 2);
  set(m, "date", integer(42));  // any value, as a string
  EXPECT_EQ(text(get(m, "date")), "42");
  EXPECT_EQ(text(call(m, "toString")), "[object Mail]");
}

TEST_F(MailClassTest, IndexArgumentsMustBeIntegersInRange) {
  Value m = newMail();
  for (Value index : {Value(), str("0"), real(0.5), integer(-1), integer(0)}) {
    EXPECT_EQ(call(m, "getAttachmentName", {index}).tag, Tag::Undefined);
    EXPECT_EQ(call(m, "removeAttachment", {index}).tag, Tag::Undefined);
  }
  EXPECT_EQ(call(m, "getAttachmentName").tag, Tag::Undefined);
  EXPECT_EQ(get(m, "attachmentCount").integer(), 0);
}

TEST_F(MailClassTest, TheTransportSeesTheMessageWithoutBccAndEveryRecipient) {
  Value m = newMail();
  set(m, "from", str("\"Ann A.\" <ann@example.org>"));
  set(m, "to", str("bob@example.org, Carl <carl@example.org>"));
  set(m, "cc", str("dora@example.org (Dora), BOB@example.org"));
  set(m, "bcc", str("Eve <eve@example.org>"));
  set(m, "text", str("hi"));
  std::optional<OutgoingMail> out = outgoingMail(m);
  ASSERT_TRUE(out);
  EXPECT_EQ(out->envelope.from, "ann@example.org");
  EXPECT_EQ(out->envelope.recipients,
            (std::vector<std::string>{"bob@example.org", "carl@example.org", "dora@example.org", "eve@example.org"}));
  EXPECT_EQ(out->message.find("eve@"), std::string::npos);
  EXPECT_EQ(out->message.rfind("From: \"Ann A.\" <ann@example.org>\r\nTo: ", 0), 0u);
  EXPECT_NE(out->message.find("\r\n\r\nhi=\r\n"), std::string::npos);
  EXPECT_NE(text(call(m, "asText")).find("BCC: Eve <eve@example.org>"), std::string::npos);

  EXPECT_FALSE(outgoingMail(str("From: a@b\r\n\r\nx")));
  EXPECT_FALSE(outgoingMail(classObject("Mail")));
  EXPECT_FALSE(outgoingMail(Value()));
}

TEST_F(MailClassTest, AReceivedMessageBecomesAnUnmodifiedMailObject) {
  const std::string received =
      "From: =?utf-8?B?SsO8cmdlbg==?= <j@example.org>\r\nTo: k@example.org\r\nSubject: news\r\n"
      "MIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=\"b\"\r\n\r\n"
      "--b\r\nContent-Type: text/plain; charset=utf-8\r\n\r\nHello\r\n"
      "--b\r\nContent-Type: application/pdf; name=\"..\\\\..\\\\evil.pdf\"\r\n"
      "Content-Transfer-Encoding: base64\r\n\r\nJVBERg==\r\n--b--\r\n";
  Value m;
  newMailFromMessage(engine(), &m, received);
  hold(m);
  ASSERT_EQ(m.tag, Tag::Native);
  EXPECT_EQ(get(m, "from").string()->view(), u"J\u00fcrgen <j@example.org>");
  EXPECT_EQ(text(get(m, "text")), "Hello");
  EXPECT_EQ(get(m, "priority").integer(), 3);
  EXPECT_EQ(get(m, "attachmentCount").integer(), 1);
  EXPECT_EQ(text(call(m, "getAttachmentName", {integer(0)})), "evil.pdf");
  EXPECT_EQ(text(call(m, "getAttachmentContentType", {integer(0)})), "application/pdf");
  EXPECT_EQ(get(m, "size").integer(), int64_t(received.size()));
  EXPECT_EQ(text(call(m, "asText")), received);  // not modified: the bytes as received
}

}  // namespace
}  // namespace vexil::net::mime
