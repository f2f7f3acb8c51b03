#include <gtest/gtest.h>

#include "host/package/app_identity.h"

using namespace vexil::package;

namespace {

std::vector<uint8_t> identity(std::u16string_view text, bool terminate = true) {
  std::vector<uint8_t> bytes;
  for (char16_t c : text) {
    bytes.push_back(uint8_t(c));
    bytes.push_back(uint8_t(c >> 8));
  }
  if (terminate) bytes.insert(bytes.end(), {0, 0});
  bytes.resize(bytes.size() + kIdentityReservedBytes, 0xAB);
  return bytes;
}

}  // namespace

TEST(AppIdentity, TheSlashSplitsCompanyKeyAndProfile) {
  struct Case {
    std::u16string text;
    std::string key, profile;
  };
  const Case cases[] = {
      {u"Vexil/Demo Saver", "Vexil", "Demo Saver"},
      {u"Vexil", "Vexil", "saver"},          // no slash: the application's name is the profile
      {u"A/B/C", "A", "B/C"},                // only the first slash splits
      {u"/Profile", "", "Profile"},
      {u"Caf\u00E9/x", "Caf\xE9", "x"},     // ANSI, as registry names are
  };
  for (const auto& c : cases) {
    auto id = parseIdentity(identity(c.text), "saver");
    ASSERT_TRUE(id);
    EXPECT_EQ(id->registryKey, c.key);
    EXPECT_EQ(id->profileName, c.profile);
  }
}

TEST(AppIdentity, ThirtyTwoBytesOrFewerIsInvalidData) {
  EXPECT_FALSE(parseIdentity(std::vector<uint8_t>(32, 0x41), "a"));
  EXPECT_FALSE(parseIdentity({}, "a"));
  auto one = parseIdentity(std::vector<uint8_t>(33, 0x41), "a");  // one odd byte of text: empty
  ASSERT_TRUE(one);
  EXPECT_EQ(one->text, "");
  // A text without its NUL ends where the reserved bytes begin.
  EXPECT_EQ(parseIdentity(identity(u"NoNul", false), "a")->text, "NoNul");
}
