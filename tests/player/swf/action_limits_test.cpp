// What a frame's actions may build: text, variables and time are bounded, and a movie that tries
// for more has that frame's actions stopped while the movie keeps playing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "player/swf/movie_player.h"
#include "player/swf/swf_reader.h"
#include "player/swf/variable_store.h"

namespace vexil::swf {
namespace {

// 190 bytes: a loop that doubles a string on every pass. Unbounded, it reached 3.6 GB in 8 frames.
constexpr const char* kDoublingMovie =
    "RldTD74AAAB4AAVfAAAPoAAAGAEARBEAAAAAQwL///8/A5QAAACIHgAGAHMAU291bmQAdABnZXRUcmFuc2Zvcm0AaQA6IACWCQAIAAcAAAAA"
    "CAFAPJYJAAgCBwAAAAAIAByWAgAIA1I8lgIACAIcVYcBAACWAQACSZ0CACgAlgQACAQEADyWAgAIBByWAgAIBUeWAgAIAhyWAgAIBBxORyaZ"
    "AgDK/4MQAEZTQ29tbWFuZDpxdWl0AAAAQAAAAA==";

std::vector<uint8_t> decodeBase64(std::string_view text) {
  const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::vector<uint8_t> out;
  uint32_t buffer = 0;
  int bits = 0;
  for (char c : text) {
    size_t value = alphabet.find(c);
    if (value == std::string::npos) continue;
    buffer = (buffer << 6) | static_cast<uint32_t>(value);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      out.push_back(static_cast<uint8_t>(buffer >> bits));
    }
  }
  return out;
}

TEST(ActionLimits, AStringDoublingLoopIsStoppedWithinTheTextAllowance) {
  std::vector<uint8_t> bytes = decodeBase64(kDoublingMovie);
  ASSERT_EQ(bytes.size(), 190u);
  ReadResult result = readMovie(bytes);
  ASSERT_TRUE(result.ok()) << result.error;
  MoviePlayer player;
  player.load(std::move(*result.movie));
  for (int tick = 0; tick < 8; ++tick) {
    player.tick();
    ASSERT_LE(player.variableTextBytes(), VariableStore::kMaxTextBytes);
  }
  EXPECT_TRUE(player.setVariable("afterwards", "still answering"));
  EXPECT_EQ(player.getVariable("afterwards"), "still answering");
}

TEST(ActionLimits, TheVariableStoreKeepsItsCountAndTextBounded) {
  VariableStore store;
  for (size_t i = 0; i < VariableStore::kMaxVariables + 10; ++i) {
    store.set({"", "v" + std::to_string(i)}, ActionValue::fromString("x"));
  }
  EXPECT_EQ(store.size(), VariableStore::kMaxVariables);
  store.set({"", "v0"}, ActionValue::fromString("changed"));  // an existing name still changes
  EXPECT_EQ(store.find({"", "v0"})->text, "changed");
  std::string big(VariableStore::kMaxTextBytes / 2, 'a');
  store.set({"", "v1"}, ActionValue::fromString(big));
  store.set({"", "v2"}, ActionValue::fromString(big));  // would pass the allowance: refused
  EXPECT_EQ(store.find({"", "v1"})->text.size(), big.size());
  EXPECT_EQ(store.find({"", "v2"})->text, "x");
  EXPECT_LE(store.textBytes(), VariableStore::kMaxTextBytes);
}

TEST(ActionLimits, ABudgetStopsAtTheTextAllowanceAndAfterwardsRefusesSteps) {
  ActionBudget budget;
  EXPECT_TRUE(budget.chargeText(ActionBudget::kTextBytesPerFrame - 1));
  EXPECT_TRUE(budget.step());
  EXPECT_FALSE(budget.chargeText(2));
  EXPECT_TRUE(budget.exhausted());
  EXPECT_FALSE(budget.step());
}

}  // namespace
}  // namespace vexil::swf
