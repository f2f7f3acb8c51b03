#include <gtest/gtest.h>

#include "player/swf/clip_properties.h"
#include "player/swf/movie_player.h"
#include "tests/player/swf/movie_fixtures.h"

using namespace vexil::swf;
using namespace vexil::swf::testing;

namespace {

// Five frames; each sends "frame" with its one-based number so the tests can see what ran.
Movie countingMovie(std::vector<ActionBuilder> extra = {}) {
  MovieOutline outline;
  for (int i = 0; i < 5; ++i) {
    FrameSpec frame;
    ActionBuilder block = actions().fsCommand("frame", std::to_string(i + 1));
    if (static_cast<size_t>(i) < extra.size()) block.raw([&] {
      auto b = extra[static_cast<size_t>(i)].bytes();
      b.pop_back();
      return b;
    }());
    frame.actions = {block.bytes()};
    if (i == 2) frame.labels = {"middle"};
    outline.frames.push_back(frame);
  }
  return readOrFail(writeMovie(outline));
}

std::string ran(MoviePlayer& player) {
  std::string frames;
  for (const auto& command : player.takeCommands()) frames += command.argument;
  return frames;
}

}  // namespace

TEST(Timeline, PlaysLoopsAndStops) {
  MoviePlayer player;
  player.load(countingMovie());
  EXPECT_TRUE(player.playing());
  for (int i = 0; i < 5; ++i) player.tick();
  EXPECT_EQ(ran(player), "123451");
  player.setLoop(false);
  for (int i = 0; i < 6; ++i) player.tick();
  EXPECT_EQ(ran(player), "2345");
  EXPECT_FALSE(player.playing());
  EXPECT_EQ(player.currentFrame(), 4u);
}

TEST(Timeline, StopActionHaltsAndPlayResumes) {
  MoviePlayer player;
  player.load(countingMovie({actions(), actions().stop()}));
  for (int i = 0; i < 4; ++i) player.tick();
  EXPECT_EQ(ran(player), "12");
  EXPECT_EQ(player.currentFrame(), 1u);
  player.setPlaying(true);
  player.tick();
  EXPECT_EQ(ran(player), "3");
}

TEST(Timeline, GotoActionsRunTheirTargetFrame) {
  struct Case {
    const char* name;
    ActionBuilder firstFrame;
    const char* expected;  // frames run by load plus one tick
    size_t frameAfter;
  };
  const Case cases[] = {
      {"goto frame and stop", actions().gotoFrame(3).stop(), "14", 3},
      {"goto label", actions().gotoLabel("MIDDLE"), "134", 3},
      {"goto frame2 plays", actions().push(5.0).gotoFrame2(true), "1515", 4},
      {"goto frame2 by label stops", actions().push("middle").gotoFrame2(false), "13", 2},
      {"next frame stops", actions().op(ActionCode::NextFrame), "12", 1},
      {"goto past the end goes to the last", actions().gotoFrame(99).stop(), "15", 4},
      {"goto unknown label stays", actions().gotoLabel("nowhere").stop(), "1", 0},
  };
  for (const Case& c : cases) {
    MoviePlayer player;
    player.load(countingMovie({c.firstFrame}));
    player.tick();
    EXPECT_EQ(ran(player), c.expected) << c.name;
    EXPECT_EQ(player.currentFrame(), c.frameAfter) << c.name;
  }
}

TEST(Timeline, GotoLoopsBetweenFramesAreBounded) {
  // Frame 1 goes to frame 2 and frame 2 back to frame 1: every entry is bounded.
  MoviePlayer player;
  player.load(countingMovie({actions().gotoFrame(1), actions().gotoFrame(0)}));
  auto commands = player.takeCommands();
  EXPECT_EQ(commands.size(), MoviePlayer::kMaxGotoChain + 1);
  player.tick();
  EXPECT_TRUE(player.hasMovie());
}

TEST(Timeline, HostNavigation) {
  MoviePlayer player;
  player.load(countingMovie());
  ran(player);
  EXPECT_TRUE(player.gotoFrame(3));
  EXPECT_EQ(ran(player), "4");
  EXPECT_TRUE(player.playing());  // GotoFrame keeps the playing state
  EXPECT_FALSE(player.gotoFrame(5));
  EXPECT_TRUE(player.gotoLabel("Middle"));
  EXPECT_EQ(player.currentFrame(), 2u);
  EXPECT_EQ(player.currentLabel(), "middle");
  player.forward();
  EXPECT_EQ(player.currentLabel(), "middle");  // closest label before frame 4
  EXPECT_FALSE(player.playing());
  player.back();
  player.back();
  EXPECT_EQ(player.currentFrame(), 1u);
  EXPECT_EQ(player.currentLabel(), "");
  player.rewind();
  EXPECT_EQ(player.currentFrame(), 0u);
  EXPECT_EQ(ran(player), "3432" "1");
}

TEST(Timeline, InitActionsRunOnceBeforeFrameActions) {
  MovieOutline outline;
  FrameSpec first;
  first.initActions = {actions().fsCommand("init", "").bytes()};
  first.actions = {actions().fsCommand("frame", "").bytes()};
  outline.frames = {first, FrameSpec{}};
  MoviePlayer player;
  player.load(readOrFail(writeMovie(outline)));
  player.tick();
  player.tick();
  std::string order;
  for (const auto& command : player.takeCommands()) order += command.command + ";";
  EXPECT_EQ(order, "init;frame;frame;");
}

TEST(Timeline, OneFrameMovieDoesNotRepeatItsActions) {
  MoviePlayer player;
  player.load(movieWithActions({actions().fsCommand("once", "")}));
  for (int i = 0; i < 3; ++i) player.tick();
  EXPECT_EQ(player.takeCommands().size(), 1u);
}

TEST(HostCalls, VariablesRoundTrip) {
  MoviePlayer player;
  EXPECT_FALSE(player.setVariable("x", "1"));  // no movie yet
  player.load(countingMovie());
  EXPECT_TRUE(player.setVariable("_root.score", "12"));
  EXPECT_EQ(player.getVariable("score"), "12");
  EXPECT_EQ(player.getVariable("SCORE"), "12");
  EXPECT_TRUE(player.setVariable("/clip:var", "v"));
  EXPECT_EQ(player.getVariable("_root.clip.var"), "v");
  EXPECT_EQ(player.getVariable("never.set"), std::nullopt);
  EXPECT_FALSE(player.setVariable("_parent.x", "1"));
}

TEST(HostCalls, TargetCallsWorkOnTheMainTimelineOnly) {
  MoviePlayer player;
  player.load(countingMovie());
  ran(player);
  for (const char* root : {"/", "_root", "_level0", ""}) EXPECT_TRUE(player.isKnownTarget(root)) << root;
  EXPECT_FALSE(player.isKnownTarget("/clip"));
  const int currentFrame = static_cast<int>(ClipProperty::CurrentFrame);
  const int alpha = static_cast<int>(ClipProperty::Alpha);
  EXPECT_EQ(toString(*player.targetProperty("/", currentFrame), 6), "1");
  EXPECT_EQ(toString(*player.targetProperty("/", static_cast<int>(ClipProperty::Target)), 6), "/");
  EXPECT_EQ(toString(*player.targetProperty("/", alpha), 6), "100");
  EXPECT_TRUE(player.setTargetProperty("/", alpha, ActionValue::fromNumber(40)));
  EXPECT_EQ(toString(*player.targetProperty("_root", alpha), 6), "40");
  EXPECT_FALSE(player.setTargetProperty("/", currentFrame, ActionValue::fromNumber(3)));  // read-only
  EXPECT_FALSE(player.targetProperty("/", 22));
  EXPECT_FALSE(player.targetProperty("/clip", alpha));
  EXPECT_TRUE(player.callLabel("/", "middle"));  // runs frame 3's actions in place
  EXPECT_EQ(player.currentFrame(), 0u);
  EXPECT_TRUE(player.callFrame("/", 4));
  EXPECT_FALSE(player.callFrame("/", 5));
  EXPECT_EQ(ran(player), "35");
}
