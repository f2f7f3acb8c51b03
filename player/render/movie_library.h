#pragma once
// Everything the renderer needs from a movie's tags: the characters by id (shapes, sprites with
// their timelines, bitmaps, buttons, fonts and static texts) and the main timeline's display
// commands per frame. Reading is forgiving: a tag that cannot be read is skipped and the rest of
// the movie still plays.
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "player/render/bitmap.h"
#include "player/render/geometry.h"
#include "player/render/morph_shape.h"
#include "player/render/shape.h"

namespace vexil::render {

// One PlaceObject or RemoveObject, with only what the tag set.
struct DisplayCommand {
  bool remove = false;
  uint16_t depth = 0;
  bool move = false;
  std::optional<uint16_t> character;
  std::optional<Matrix> matrix;
  std::optional<ColorTransform> colorTransform;
  std::optional<uint16_t> ratio;
  std::optional<std::string> name;
  std::optional<uint16_t> clipDepth;
};

struct Timeline {
  std::vector<std::vector<DisplayCommand>> frames;  // never empty once read
  // A sprite's own frame actions (the main timeline's are the movie player's): the action
  // blocks of each frame, as many entries as frames.
  std::vector<std::vector<std::vector<uint8_t>>> actions;
  std::vector<std::pair<std::string, size_t>> labels;  // a sprite's frame labels and their frames
};

struct GlyphRun {
  uint16_t font = 0;
  uint32_t color = 0xFF000000;
  double height = 0;  // twips
  std::vector<std::pair<uint32_t, Point>> glyphs;  // glyph index and its origin in text space
};

struct StaticText {
  Matrix matrix;
  std::vector<GlyphRun> runs;
};

struct Font {
  std::vector<Shape> glyphs;
  double unitsPerEm = 1024;  // glyph coordinates per em (20 times more in the newest fonts)
};

using Character = std::variant<Shape, std::shared_ptr<Timeline>, StaticText, MorphShape>;

// Nesting of sprites and buttons inside each other that the player follows; deeper placements
// draw nothing, which also ends sprites that contain themselves.
inline constexpr int kMaxNesting = 64;

struct MovieLibrary {
  int width = 0, height = 0;  // stage in twips
  int32_t originX = 0, originY = 0;  // the frame rectangle's top-left, twips
  double frameRate = 12;
  std::optional<uint32_t> background;  // 0xRRGGBB
  Timeline root;
  std::map<uint16_t, Character> characters;
  std::map<uint16_t, Bitmap> bitmaps;
  std::map<uint16_t, Font> fonts;
  uint64_t bitmapPixels = 0;  // allocated so far, against kMaxMovieBitmapPixels
  size_t skippedTags = 0;     // unreadable tags, for diagnostics

  const Character* find(uint16_t id) const;
};

// Reads the library from a movie file (plain or compressed); an unreadable file gives nothing.
std::optional<MovieLibrary> readLibrary(std::span<const uint8_t> file, std::string* error = nullptr);

}  // namespace vexil::render
