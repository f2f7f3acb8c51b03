// Envelope addresses from header fields: the bracketed address or the bare entry, never a display
// name, and every recipient of To, Cc and Bcc once.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/mail/envelope_addresses.h"

namespace vexil::net::mail {
namespace {

using Addresses = std::vector<std::string>;

TEST(EnvelopeAddressesTest, EntriesGiveTheirAddresses) {
  struct Case {
    const char* field;
    Addresses addresses;
  };
  const Case cases[] = {
      {"a@x.org", {"a@x.org"}},
      {"a@x.org, <b@x.org>", {"a@x.org", "b@x.org"}},
      {"Ann Lee <ann@x.org>", {"ann@x.org"}},
      {"\"Lee, Ann\" <ann@x.org>, bob@x.org", {"ann@x.org", "bob@x.org"}},
      {" , ,a@x.org,", {"a@x.org"}},
      {"<a@x.org", {"a@x.org"}},
      {"", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(envelopeAddresses(c.field), c.addresses) << c.field;
}

TEST(EnvelopeAddressesTest, RecipientsComeFromToCcAndBccOnce) {
  EXPECT_EQ(recipientsOf("a@x.org, b@x.org", "B <b@x.org>, c@x.org", "d@x.org"),
            (Addresses{"a@x.org", "b@x.org", "c@x.org", "d@x.org"}));
}

TEST(EnvelopeAddressesTest, AddressesThatWouldBreakTheCommandAreNotSendable) {
  EXPECT_TRUE(isSendableAddress("a@x.org"));
  for (std::string bad : {std::string(""), std::string("a@x.org>\r\nRCPT TO:<b@y.org"), std::string("a b@x.org"),
                          std::string("a\0@x", 4), std::string("a<b")}) {
    EXPECT_FALSE(isSendableAddress(bad)) << bad;
  }
}

}  // namespace
}  // namespace vexil::net::mail
