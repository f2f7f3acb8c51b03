#include "net/inet/dns_message.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vexil::net {
namespace {

using Bytes = std::vector<uint8_t>;

void put16(Bytes& out, uint16_t v) {
  out.push_back(uint8_t(v >> 8));
  out.push_back(uint8_t(v));
}

void putName(Bytes& out, std::string_view dotted) {
  size_t start = 0;
  while (start < dotted.size()) {
    size_t end = dotted.find('.', start);
    if (end == std::string_view::npos) end = dotted.size();
    out.push_back(uint8_t(end - start));
    out.insert(out.end(), dotted.begin() + start, dotted.begin() + end);
    start = end + 1;
  }
  out.push_back(0);
}

Bytes header(uint16_t answers, uint16_t flags = 0x8180, uint16_t id = kMxQueryId) {
  Bytes out;
  put16(out, id);
  put16(out, flags);
  put16(out, 1);
  put16(out, answers);
  put16(out, 0);
  put16(out, 0);
  putName(out, "example.test");  // the question at offset 12
  put16(out, kTypeMx);
  put16(out, kClassInternet);
  return out;
}

// An answer record; exchange bytes are given whole so tests can write pointers into them.
void putAnswer(Bytes& out, const Bytes& owner, uint16_t type, uint16_t preference, const Bytes& exchange) {
  out.insert(out.end(), owner.begin(), owner.end());
  put16(out, type);
  put16(out, kClassInternet);
  put16(out, 0);
  put16(out, 3600);
  Bytes data;
  put16(data, preference);
  data.insert(data.end(), exchange.begin(), exchange.end());
  put16(out, uint16_t(data.size()));
  out.insert(out.end(), data.begin(), data.end());
}

Bytes wireName(std::string_view dotted) {
  Bytes out;
  putName(out, dotted);
  return out;
}

const Bytes kPointerToQuestion = {0xC0, 12};

TEST(DnsQuery, MxQueryIsFramedForTcpWithRecursionAndOneQuestion) {
  auto query = buildMxQuery("mail.example.test");
  ASSERT_TRUE(query);
  Bytes expected = {0x00, 0x23, 0x46, 0x46, 0x01, 0x00, 0, 1, 0, 0, 0, 0, 0, 0};
  putName(expected, "mail.example.test");
  put16(expected, 15);
  put16(expected, 1);
  EXPECT_EQ(*query, expected);
  EXPECT_EQ(buildMxQuery("mail.example.test."), query);  // one trailing dot is the same name
}

TEST(DnsQuery, NamesThatCannotBeOnTheWireAreRefused) {
  const std::string label63(63, 'a'), label64(64, 'a');
  // Labels of 63, 63, 63 and 61 bytes: 253 characters, 255 bytes on the wire with the length
  // bytes and the root; one more byte is too long.
  const std::string longest = std::string(63, 'a') + "." + std::string(63, 'b') + "." + std::string(63, 'c') + "." +
                              std::string(61, 'd');
  struct Case {
    std::string domain;
    bool ok;
  };
  const Case cases[] = {
      {"", false},     {".", false},           {"a..b", false},       {".a", false},        {"a.b..", false},
      {label63, true}, {label64, false},       {longest, true},       {longest + "d", false},
      {std::string(65536, 'x'), false},        {"x", true},
  };
  for (const Case& c : cases) EXPECT_EQ(buildMxQuery(c.domain).has_value(), c.ok) << c.domain.size();
}

TEST(DnsReply, MxRecordsAreReadInOrderWithAndWithoutCompression) {
  Bytes reply = header(4);
  putAnswer(reply, kPointerToQuestion, kTypeMx, 10, wireName("mx1.example.test"));
  // "mx2" then a pointer to "example.test" inside the question
  putAnswer(reply, kPointerToQuestion, kTypeMx, 20, Bytes{3, 'm', 'x', '2', 0xC0, 12});
  // a CNAME-like record of another type is skipped by its length
  putAnswer(reply, wireName("example.test"), 5, 0, wireName("other.test"));
  // a pointer to a pointer: the owner name of the first answer is a pointer to the question
  size_t firstAnswer = header(0).size();
  putAnswer(reply, kPointerToQuestion, kTypeMx, 5, Bytes{0xC0, uint8_t(firstAnswer)});
  auto records = readMxReply(reply);
  ASSERT_TRUE(records);
  ASSERT_EQ(records->size(), 3u);
  EXPECT_EQ((*records)[0].preference, 10);
  EXPECT_EQ((*records)[0].exchange, "mx1.example.test");
  EXPECT_EQ((*records)[1].preference, 20);
  EXPECT_EQ((*records)[1].exchange, "mx2.example.test");
  EXPECT_EQ((*records)[2].preference, 5);
  EXPECT_EQ((*records)[2].exchange, "example.test");
}

TEST(DnsReply, AReplyWithNoAnswersIsAnEmptyList) {
  auto records = readMxReply(header(0));
  ASSERT_TRUE(records);
  EXPECT_TRUE(records->empty());
}

TEST(DnsReply, MalformedRepliesFailWhole) {
  Bytes good = header(1);
  putAnswer(good, kPointerToQuestion, kTypeMx, 10, wireName("mx.example.test"));
  ASSERT_TRUE(readMxReply(good));

  Bytes lyingCount = header(2);  // announces two answers, holds one
  putAnswer(lyingCount, kPointerToQuestion, kTypeMx, 10, wireName("mx.example.test"));

  Bytes lyingLength = good;  // the record's data length points past the end
  lyingLength[header(0).size() + 2 + 8] = 0x7F;

  Bytes shortLength = header(1);  // data length shorter than the exchange name inside it
  putAnswer(shortLength, kPointerToQuestion, kTypeMx, 10, wireName("mx.example.test"));
  shortLength[header(0).size() + 2 + 9] -= 3;

  Bytes selfLoop = header(1);
  size_t at = header(0).size() + 14;  // where the exchange name starts
  putAnswer(selfLoop, kPointerToQuestion, kTypeMx, 1, Bytes{0xC0, uint8_t(at)});

  Bytes twoPointLoop = header(1);
  size_t ex = header(0).size() + 14;
  putAnswer(twoPointLoop, kPointerToQuestion, kTypeMx, 1, Bytes{0xC0, uint8_t(ex + 2), 0xC0, uint8_t(ex)});

  Bytes pointerOutside = header(1);
  putAnswer(pointerOutside, kPointerToQuestion, kTypeMx, 1, Bytes{0xFF, 0xFF});

  Bytes longName = header(1);  // 5 labels of 60: longer than a wire name may be
  Bytes longExchange;
  for (int i = 0; i < 5; ++i) {
    longExchange.push_back(60);
    longExchange.insert(longExchange.end(), 60, 'z');
  }
  longExchange.push_back(0);
  putAnswer(longName, kPointerToQuestion, kTypeMx, 1, longExchange);

  Bytes truncated(good.begin(), good.end() - 5);
  Bytes wrongId = good;
  wrongId[1] = 0x47;
  Bytes notAResponse = good;
  notAResponse[2] &= 0x7F;
  Bytes serverFailure = good;
  serverFailure[3] = 0x82;
  Bytes extendedLabel = header(1);
  putAnswer(extendedLabel, kPointerToQuestion, kTypeMx, 1, Bytes{0x41, 'a', 0});

  const std::pair<const char*, Bytes> cases[] = {
      {"empty", {}},
      {"header only, short", Bytes(good.begin(), good.begin() + 11)},
      {"lying answer count", lyingCount},
      {"lying data length", lyingLength},
      {"data length shorter than the name", shortLength},
      {"pointer to itself", selfLoop},
      {"two pointers in a loop", twoPointLoop},
      {"pointer past the end", pointerOutside},
      {"name over 255 bytes", longName},
      {"truncated", truncated},
      {"another identifier", wrongId},
      {"a query, not a response", notAResponse},
      {"server failure", serverFailure},
      {"extended label type", extendedLabel},
  };
  for (const auto& [name, bytes] : cases) EXPECT_FALSE(readMxReply(bytes)) << name;
}

TEST(DnsReply, EveryTruncationOfAGoodReplyFailsWithoutReadingPastIt) {
  Bytes good = header(2);
  putAnswer(good, kPointerToQuestion, kTypeMx, 10, wireName("mx1.example.test"));
  putAnswer(good, kPointerToQuestion, kTypeMx, 20, Bytes{3, 'm', 'x', '2', 0xC0, 12});
  for (size_t n = 0; n < good.size(); ++n) {
    Bytes cut(good.begin(), good.begin() + n);  // a vector of exactly n bytes: ASan sees overreads
    EXPECT_FALSE(readMxReply(cut)) << n;
  }
  EXPECT_TRUE(readMxReply(good));
}

}  // namespace
}  // namespace vexil::net
