#include <gtest/gtest.h>

#include "player/swf/movie_player.h"
#include "tests/player/swf/movie_fixtures.h"

using namespace vexil::swf;
using namespace vexil::swf::testing;

namespace {

// Runs one frame of actions in a fresh player and returns it for inspection.
MoviePlayer runActions(const ActionBuilder& block, uint8_t version = 6) {
  MoviePlayer player;
  player.load(movieWithActions({block}, version));
  return player;
}

std::string variableAfter(const ActionBuilder& block, const char* name = "r", uint8_t version = 6) {
  MoviePlayer player = runActions(block, version);
  return player.getVariable(name).value_or("<unset>");
}

}  // namespace

TEST(Actions, FsCommandFromGetUrlAndGetUrl2) {
  MoviePlayer player = runActions(actions()
                                      .getUrl("FSCommand:Vexil_Run", "Initialize")
                                      .getUrl("fscommand:quit", "")
                                      .getUrl("http://example.invalid/", "_blank")  // not a command
                                      .push("FsCommand:Vexil_Eval")
                                      .push("trace(1)")
                                      .getUrl2());
  auto commands = player.takeCommands();
  ASSERT_EQ(commands.size(), 3u);
  EXPECT_EQ(commands[0].command, "Vexil_Run");
  EXPECT_EQ(commands[0].argument, "Initialize");
  EXPECT_EQ(commands[1].command, "quit");
  EXPECT_EQ(commands[1].argument, "");
  EXPECT_EQ(commands[2].command, "Vexil_Eval");
  EXPECT_EQ(commands[2].argument, "trace(1)");
  EXPECT_TRUE(player.takeCommands().empty());
}

TEST(Actions, PushTypesAndConstantPool) {
  auto block = actions()
                   .constantPool({"zero", "one"})
                   .push("a").pushConstant(1).op(ActionCode::SetVariable)
                   .push("b").pushInteger(-7).op(ActionCode::SetVariable)
                   .push("c").push(2.5).op(ActionCode::SetVariable)
                   .push("d").pushBool(true).op(ActionCode::SetVariable)
                   .push("e").pushConstant(9).op(ActionCode::SetVariable)  // no such constant
                   .push("f").record(ActionCode::Push, {1, 0x00, 0x00, 0xC0, 0x3F}).op(ActionCode::SetVariable);
  MoviePlayer player = runActions(block, 7);
  EXPECT_EQ(player.getVariable("a"), "one");
  EXPECT_EQ(player.getVariable("b"), "-7");
  EXPECT_EQ(player.getVariable("c"), "2.5");
  EXPECT_EQ(player.getVariable("d"), "true");
  EXPECT_EQ(player.getVariable("e"), "undefined");
  EXPECT_EQ(player.getVariable("f"), "1.5");  // single-precision float
}

TEST(Actions, ArithmeticAndComparisons) {
  struct Case {
    double left;
    double right;
    ActionCode code;
    const char* expected;
  };
  const Case cases[] = {
      {7, 2, ActionCode::Add, "9"},         {7, 2, ActionCode::Subtract, "5"},
      {7, 2, ActionCode::Multiply, "14"},   {7, 2, ActionCode::Divide, "3.5"},
      {1, 3, ActionCode::Divide, "0.333333333333333"},
      {7, 0, ActionCode::Divide, "Infinity"},
      {7, 2, ActionCode::Equals, "false"},  {2, 2, ActionCode::Equals, "true"},
      {1, 2, ActionCode::Less, "true"},     {2, 1, ActionCode::Less, "false"},
      {1, 0, ActionCode::And, "false"},     {1, 0, ActionCode::Or, "true"},
      {7, 2, ActionCode::Modulo, "1"},      {3, 2, ActionCode::Greater, "true"},
  };
  for (const Case& c : cases) {
    auto block = actions().push("r").push(c.left).push(c.right).op(c.code).op(ActionCode::SetVariable);
    EXPECT_EQ(variableAfter(block), c.expected) << c.left << " op " << static_cast<int>(c.code) << " " << c.right;
  }
}

TEST(Actions, VersionFourTruthAndDivisionByZero) {
  auto equals = actions(4).push("r").push(2.0).push(2.0).op(ActionCode::Equals).op(ActionCode::SetVariable);
  EXPECT_EQ(variableAfter(equals, "r", 4), "1");
  auto divide = actions(4).push("r").push(1.0).push(0.0).op(ActionCode::Divide).op(ActionCode::SetVariable);
  EXPECT_EQ(variableAfter(divide, "r", 4), "#ERROR#");
  auto text = actions(4).push("r").push("abc").push(1.0).op(ActionCode::Add).op(ActionCode::SetVariable);
  EXPECT_EQ(variableAfter(text, "r", 4), "1");  // non-numeric text counts as 0
}

TEST(Actions, StringActions) {
  struct Case {
    ActionBuilder block;
    const char* expected;
  };
  const Case cases[] = {
      {actions().push("r").push("ab").push("cd").op(ActionCode::StringAdd).op(ActionCode::SetVariable), "abcd"},
      {actions().push("r").push("ab").push(1.0).op(ActionCode::Add2).op(ActionCode::SetVariable), "ab1"},
      {actions().push("r").push("hello").op(ActionCode::StringLength).op(ActionCode::SetVariable), "5"},
      {actions().push("r").push("hello").push(2.0).push(3.0).op(ActionCode::StringExtract).op(ActionCode::SetVariable),
       "ell"},
      {actions().push("r").push("hello").push(4.0).push(99.0).op(ActionCode::StringExtract).op(ActionCode::SetVariable),
       "lo"},
      {actions().push("r").push("a").push("b").op(ActionCode::StringLess).op(ActionCode::SetVariable), "true"},
      {actions().push("r").push("x").push("x").op(ActionCode::StringEquals).op(ActionCode::SetVariable), "true"},
      {actions().push("r").push(65.0).op(ActionCode::AsciiToChar).op(ActionCode::SetVariable), "A"},
      {actions().push("r").push("A").op(ActionCode::CharToAscii).op(ActionCode::SetVariable), "65"},
      {actions().push("r").push(-2.7).op(ActionCode::ToInteger).op(ActionCode::SetVariable), "-2"},
  };
  for (const Case& c : cases) EXPECT_EQ(variableAfter(c.block), c.expected);
}

TEST(Actions, VariablesThroughPathsAndTargets) {
  auto block = actions()
                   .push("/clip:var").push("slash").op(ActionCode::SetVariable)
                   .push("_root.score").push("12").op(ActionCode::SetVariable)
                   .setTarget("/other")
                   .push("local").push("inside").op(ActionCode::SetVariable)
                   .setTarget("")
                   .push("copy").push("/clip:var").op(ActionCode::GetVariable).op(ActionCode::SetVariable);
  MoviePlayer player = runActions(block);
  EXPECT_EQ(player.getVariable("_root.clip.var"), "slash");
  EXPECT_EQ(player.getVariable("/:score"), "12");
  EXPECT_EQ(player.getVariable("_root.other.local"), "inside");
  EXPECT_EQ(player.getVariable("local"), std::nullopt);
  EXPECT_EQ(player.getVariable("copy"), "slash");
  EXPECT_EQ(player.getVariable("$version"), std::string(kPlayerVersionText));
}

TEST(Actions, IfAndJumpMakeALoop) {
  // i = 0; do { i = i + 1 } while (i < 5)
  auto body = actions().push("i").push("i").op(ActionCode::GetVariable).push(1.0).op(ActionCode::Add)
                  .op(ActionCode::SetVariable).push("i").op(ActionCode::GetVariable).push(5.0)
                  .op(ActionCode::Less);
  int16_t back = -static_cast<int16_t>(body.size() + kJumpRecordSize);
  auto bodyBytes = body.bytes();
  bodyBytes.pop_back();  // its End
  auto loop = actions().push("i").push(0.0).op(ActionCode::SetVariable).raw(bodyBytes).ifTrue(back);
  EXPECT_EQ(variableAfter(loop, "i"), "5");
}

TEST(ActionsBadInput, EndlessLoopStopsAtTheStepBudget) {
  auto block = actions().push("before").push("1").op(ActionCode::SetVariable)
                   .jump(-static_cast<int16_t>(kJumpRecordSize));
  MoviePlayer player = runActions(block);
  EXPECT_EQ(player.getVariable("before"), "1");
  player.tick();  // the player keeps working afterwards
  EXPECT_TRUE(player.hasMovie());
}

TEST(ActionsBadInput, BrokenBlocksStopWithoutHarm) {
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
  };
  auto setDone = actions().push("done").push("1").op(ActionCode::SetVariable).bytes();
  setDone.pop_back();
  const Case cases[] = {
      {"jump past the end", actions().jump(1000).bytes()},
      {"jump before the start", actions().jump(-1000).bytes()},
      {"record length past the end", {0x96, 0xFF, 0x00, 0x00, 'x', 0}},
      {"record header cut", {0x96, 0x05}},
      {"push string without terminator", {0x96, 0x03, 0x00, 0x00, 'a', 'b'}},
      {"push double cut short", {0x96, 0x03, 0x00, 0x06, 0x00, 0x00}},
      {"unknown push type", {0x96, 0x02, 0x00, 0x42, 0x00, 0x00}},
      {"goto frame without payload", {0x81, 0x00, 0x00, 0x00}},
      {"constant pool claiming more", {0x88, 0x03, 0x00, 0xFF, 0xFF, 0x00, 0x00}},
  };
  for (const Case& c : cases) {
    MovieOutline outline;
    FrameSpec frame;
    frame.actions = {c.bytes, [&] { auto b = setDone; b.push_back(0); return b; }()};
    outline.frames = {frame};
    MoviePlayer player;
    player.load(readOrFail(writeMovie(outline)));
    // The broken block stops; the next block of the frame still runs.
    EXPECT_EQ(player.getVariable("done"), "1") << c.name;
  }
}

TEST(ActionsBadInput, UnknownActionsAreSkippedByLength) {
  auto block = actions().record(static_cast<ActionCode>(0xC4), {1, 2, 3}).op(static_cast<ActionCode>(0x7E))
                   .push("r").push("ok").op(ActionCode::SetVariable);
  EXPECT_EQ(variableAfter(block), "ok");
}

TEST(ActionsBadInput, StackOverflowStopsTheBlock) {
  // A loop that pushes forever: the stack limit ends it before the step budget.
  constexpr int16_t kPushDoubleSize = 12;
  auto block = actions().push(1.0).jump(-static_cast<int16_t>(kJumpRecordSize + kPushDoubleSize));
  MoviePlayer player = runActions(block);
  EXPECT_TRUE(player.hasMovie());
}
