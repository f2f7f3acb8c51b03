// Plain addresses out of address fields, as a transport names the sender and recipients.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/mime/address_list.h"

namespace vexil::net::mime {
namespace {

TEST(AddressListTest, PlainAddressesOfFields) {
  struct Case {
    const char* field;
    std::vector<std::string> addresses;
  };
  const Case kCases[] = {
      {"ann@example.org", {"ann@example.org"}},
      {"Ann <ann@example.org>", {"ann@example.org"}},
      {"\"Smith, Ann\" <ann@example.org>, bob@example.org", {"ann@example.org", "bob@example.org"}},
      {"bob@example.org (Bob, the builder)", {"bob@example.org"}},
      {"team: ann@example.org, bob@example.org;", {"ann@example.org", "bob@example.org"}},
      {" , ann@example.org ,, ", {"ann@example.org"}},
      {"<odd,one@example.org>", {"odd,one@example.org"}},
      {"a@example.org\r\n.\r\nQUIT", {"a@example.org.QUIT"}},  // never a line break in an address
      {"Ann <ann@example.org", {"ann@example.org"}},
      {"\"never closed, ann@example.org", {}},
      {"", {}},
  };
  for (const Case& c : kCases) EXPECT_EQ(plainAddresses(c.field), c.addresses) << c.field;
}

}  // namespace
}  // namespace vexil::net::mime
