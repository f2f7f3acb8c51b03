// Frame actions inside sprites, and actions of the main timeline that steer named sprites through
// target paths: movies made by the SWF writer whose sprite ends on a frame worked out by hand.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "player/render/stage.h"
#include "player/swf/action_builder.h"
#include "player/swf/bit_writer.h"
#include "player/swf/display_tag_writer.h"
#include "player/swf/swf_writer.h"

namespace vexil::render {
namespace {

constexpr uint32_t kRed = 0xFFFF0000, kWhite = 0xFFFFFFFF;
constexpr int kStep = 10;  // pixels the square moves right on each of the sprite's frames

std::vector<uint8_t> doActionTag(const swf::ActionBuilder& actions) {
  std::vector<uint8_t> tag;
  swf::appendTag(tag, swf::TagCode::DoAction, actions.bytes());
  return tag;
}

void append(std::vector<uint8_t>& out, const std::vector<uint8_t>& tag) { out.insert(out.end(), tag.begin(), tag.end()); }

// A 64 x 64 movie of one frame holding the sprite "mover": a red 10 x 10 square that moves
// kStep pixels right on each of its five frames; its third frame counts a visit in its own
// variables and in the main timeline's (through "../"), and stops it.
swf::MovieOutline moverMovie(const swf::ActionBuilder& rootActions) {
  swf::ShapeSpec square;
  swf::FillSpec red;
  red.rgba = kRed;
  square.fills.push_back(red);
  square.polygons.push_back({{{0, 0}, {200, 0}, {200, 200}, {0, 200}}});
  std::vector<std::vector<uint8_t>> frames;
  for (int frame = 0; frame < 5; ++frame) {
    swf::Placement placed;
    placed.depth = 1;
    placed.move = frame > 0;
    if (frame == 0) placed.character = 1;
    placed.matrix = swf::MatrixSpec{1, 0, 0, 1, frame * kStep * 20, 0};
    std::vector<uint8_t> tags = swf::placeObjectTag(placed);
    if (frame == 2) {
      append(tags, doActionTag(swf::ActionBuilder().setVariable("visits", "1").setTarget("../").setVariable("seen", "1")
                                   .setTarget("").stop()));
    }
    frames.push_back(std::move(tags));
  }
  swf::MovieOutline movie;
  movie.frameRect = {0, 64 * 20, 0, 64 * 20};
  movie.backgroundColor = 0xFFFFFF;
  movie.definitions = swf::defineShapeTag(1, square);
  append(movie.definitions, swf::defineSpriteTag(2, frames));
  swf::Placement mover;
  mover.depth = 1;
  mover.character = 2;
  mover.name = "Mover";
  swf::FrameSpec frame;
  frame.displayTags = swf::placeObjectTag(mover);
  frame.actions.push_back(rootActions.bytes());
  movie.frames.push_back(std::move(frame));
  return movie;
}

// The sprite's frame (zero-based) read back from where its square is drawn.
int shownFrame(Stage& stage) {
  Bitmap image(stage.widthPixels(), stage.heightPixels());
  stage.render(image);
  for (int frame = 0; frame < 5; ++frame) {
    if (image.at(frame * kStep + 5, 5) == kRed) return frame;
  }
  return -1;
}

TEST(SpriteActions, SpritesRunTheirOwnFrameActionsAndNamedSpritesFollowTheMainTimelinesActions) {
  auto gotoAndPlay = [](const char* target) {
    std::vector<uint8_t> playFlag{1};
    return swf::ActionBuilder().push(target).record(swf::ActionCode::GotoFrame2, playFlag);
  };
  struct Case {
    const char* what;
    swf::ActionBuilder rootActions;
    int advances;
    int frame;  // where the sprite ends, zero-based
  } cases[] = {
      {"its own stop on its third frame", swf::ActionBuilder(), 8, 2},
      {"stopped by name", swf::ActionBuilder().setTarget("mover").stop().setTarget(""), 8, 0},
      {"sent to a frame by a slash path", swf::ActionBuilder().setTarget("/Mover").gotoFrame(3).stop().setTarget(""), 8, 3},
      {"sent to a frame by a dot path", swf::ActionBuilder().setTarget("_root.mover").gotoFrame(4).stop().setTarget(""), 8, 4},
      {"gotoAndPlay past its stop", gotoAndPlay("mover:4"), 1, 4},
      {"gotoAndPlay before its stop", gotoAndPlay("/mover:2"), 3, 2},
  };
  for (const Case& c : cases) {
    std::string error;
    auto stage = Stage::load(swf::writeMovie(moverMovie(c.rootActions)), &error);
    ASSERT_TRUE(stage) << error;
    for (int i = 0; i < c.advances; ++i) stage->advance();
    EXPECT_EQ(shownFrame(*stage), c.frame) << c.what;
  }
}

TEST(SpriteActions, ASpritesActionsHaveTheSpriteAsTheirTargetAndReachItsParentByDotDot) {
  auto stage = Stage::load(swf::writeMovie(moverMovie(swf::ActionBuilder())));
  ASSERT_TRUE(stage);
  for (int i = 0; i < 3; ++i) stage->advance();
  EXPECT_EQ(stage->player().getVariable("/mover:visits"), "1");
  EXPECT_EQ(stage->player().getVariable("visits"), std::nullopt);
  EXPECT_EQ(stage->player().getVariable("seen"), "1");
}

TEST(SpriteActions, ActionsAddressingASpriteThatIsNotThereChangeNothing) {
  auto stage = Stage::load(swf::writeMovie(moverMovie(swf::ActionBuilder().setTarget("/nobody").stop().setTarget(""))));
  ASSERT_TRUE(stage);
  stage->advance();
  EXPECT_EQ(shownFrame(*stage), 1);
  EXPECT_TRUE(stage->player().playing());
}

}  // namespace
}  // namespace vexil::render
