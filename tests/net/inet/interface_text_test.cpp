#include "net/inet/interface_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vexil::net {
namespace {

TEST(InterfaceText, TypeNumbersNameTheMibTypesAndNothingElse) {
  const std::pair<uint32_t, const char*> cases[] = {
      {1, "other"}, {6, "ethernet"}, {9, "token ring"}, {15, "fddi"}, {23, "ppp"},
      {24, "loopback"}, {28, "slip"}, {0, ""}, {71, ""}, {0xFFFFFFFF, ""},
  };
  for (const auto& [type, name] : cases) EXPECT_EQ(interfaceTypeName(type), name) << type;
}

TEST(InterfaceText, PhysicalAddressesAreUpperCaseHexPairsJoinedByHyphens) {
  const uint8_t six[] = {0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0xfe};
  EXPECT_EQ(physicalAddressText(six), "00-1A-2B-3C-4D-FE");
  const uint8_t one[] = {0x0f};
  EXPECT_EQ(physicalAddressText(one), "0F");
  EXPECT_EQ(physicalAddressText({}), "");
}

TEST(InterfaceText, NameServerValuesSplitOnCommasSpacesAndTabs) {
  using List = std::vector<std::string>;
  const std::pair<std::string, List> cases[] = {
      {"10.0.0.1", {"10.0.0.1"}},
      {"10.0.0.1,10.0.0.2 10.0.0.3\t10.0.0.4", {"10.0.0.1", "10.0.0.2", "10.0.0.3", "10.0.0.4"}},
      {" ,\t10.0.0.1,, ", {"10.0.0.1"}},
      {"", {}},
      {"not-an-address 10.0.0.9 300.1.1.1", {"10.0.0.9"}},
      {std::string("10.0.0.1\0 10.0.0.2", 18), {"10.0.0.1"}},
  };
  for (const auto& [value, expected] : cases) EXPECT_EQ(splitNameServers(value), expected) << value;
}

}  // namespace
}  // namespace vexil::net
