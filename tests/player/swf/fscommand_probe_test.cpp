#include <gtest/gtest.h>

#include "player/swf/fscommand_probe.h"
#include "tests/player/swf/movie_fixtures.h"

using namespace vexil::swf;
using namespace vexil::swf::testing;

namespace {

std::string probe(std::initializer_list<ActionBuilder> frames) {
  std::string sent;
  for (const auto& command : probeFsCommands(movieWithActions(frames))) {
    sent += command.command + "@" + std::to_string(command.frame + 1) + " ";
  }
  return sent;
}

}  // namespace

TEST(FsCommandProbe, EndsAtStopVisitedFrameOrLastFrame) {
  auto send = [](const char* name) { return actions().fsCommand(name, ""); };
  EXPECT_EQ(probe({send("a"), send("b"), send("c")}), "a@1 b@2 c@3 ");
  EXPECT_EQ(probe({send("a"), send("b").stop(), send("c")}), "a@1 b@2 ");
  EXPECT_EQ(probe({send("a"), send("b").gotoFrame(0), send("c")}), "a@1 b@2 ");
  EXPECT_EQ(probe({send("a").gotoFrame(2), send("b"), send("c").stop()}), "a@1 c@3 ");
  EXPECT_EQ(probe({actions(), send("b").gotoFrame(1)}), "b@2 ");  // goto to itself ends too
}

TEST(FsCommandProbe, EndlessActionsStayBounded) {
  auto spin = actions().fsCommand("spin", "").jump(-static_cast<int16_t>(kJumpRecordSize + 19));
  auto commands = probeFsCommands(movieWithActions({spin, spin, spin}));
  EXPECT_FALSE(commands.empty());
  EXPECT_LE(commands.size(), 10'000u);
}
