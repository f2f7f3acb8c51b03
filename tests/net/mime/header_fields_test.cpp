// Header fields: found at line starts only, unfolded, with their parameters; script text never
// leaves its line.
#include <gtest/gtest.h>

#include <string>

#include "net/mime/header_fields.h"

namespace vexil::net::mime {
namespace {

constexpr std::string_view kBlock =
    "Reply-To: reply@example.com\r\n"
    "X-To: not this\r\n"
    "to :  first@example.com,\r\n"
    "\tsecond@example.com  \r\n"
    "Subject: one\n"
    " two\n"
    "Content-Type: text/plain; charset=\"utf-8\"\r\n";

TEST(HeaderFieldsTest, FieldsAreFoundAtLineStartsAndUnfolded) {
  EXPECT_EQ(findHeaderField(kBlock, "To"), "first@example.com, second@example.com");
  EXPECT_EQ(findHeaderField(kBlock, "REPLY-TO"), "reply@example.com");
  EXPECT_EQ(findHeaderField(kBlock, "Subject"), "one two");
  EXPECT_EQ(findHeaderField(kBlock, "CC"), std::nullopt);
  EXPECT_EQ(findHeaderField(kBlock, "Content"), std::nullopt);
}

TEST(HeaderFieldsTest, HeaderBlockEndsAtTheFirstEmptyLineOrNonFieldLine) {
  struct Case {
    std::string entity;
    size_t headerEnd, bodyStart;
  };
  const Case cases[] = {
      {"A: 1\r\nB: 2\r\n\r\nbody\r\n\r\nmore", 12, 14},
      {"A: 1\n\nbody", 5, 6},
      {"\r\nbody", 0, 2},
      {"A: 1\r\nno field here", 6, 6},   // the body starts at the first line that is no field
      {"A: 1\r\nB: 2", 10, 10},          // all header
      {"From nobody\r\nA: 1\r\n\r\nx", 19, 21},
      {"", 0, 0},
  };
  for (const Case& c : cases) {
    EntityLayout layout = splitEntity(c.entity);
    EXPECT_EQ(layout.headerEnd, c.headerEnd) << c.entity;
    EXPECT_EQ(layout.bodyStart, c.bodyStart) << c.entity;
  }
}

TEST(HeaderFieldsTest, ParametersAreReadInEveryForm) {
  struct Case {
    std::string value, name, expected;
  };
  const Case cases[] = {
      {"multipart/mixed; boundary=\"=_a b;c\"", "boundary", "=_a b;c"},
      {"multipart/mixed;boundary=plain ; x=1", "BOUNDARY", "plain"},
      {"text/plain; name=\"a\\\"b.txt\"", "name", "a\"b.txt"},
      {"attachment; filename*=utf-8''%C3%A9t%C3%A9.txt", "filename", "\xC3\xA9t\xC3\xA9.txt"},
      {"attachment; filename*0=\"long\"; filename*1*=%20name; filename*2=\".txt\"", "filename", "long name.txt"},
      {"text/plain; xname=no", "name", ""},
      {"text/plain", "name", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(headerParameter(c.value, c.name), c.expected) << c.value;
  EXPECT_EQ(mediaTypeOf(" Text/HTML ; charset=x"), "text/html");
}

TEST(HeaderFieldsTest, ScriptTextCannotAddLinesToTheHeader) {
  EXPECT_EQ(singleLine("a@b\r\nBcc: victim@example.com"), "a@b Bcc: victim@example.com");
  EXPECT_EQ(singleLine("x\n\n\ry\rz"), "x y z");
  EXPECT_EQ(singleLine("plain"), "plain");
}

}  // namespace
}  // namespace vexil::net::mime
