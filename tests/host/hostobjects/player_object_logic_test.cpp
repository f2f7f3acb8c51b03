// The player object's plain logic: what movie-variable text means to a script, where a movie
// rectangle lands in the window, the binding table, and the facts read from a movie file.
#include <gtest/gtest.h>

#include <vector>

#include "host/hostobjects/binding_table.h"
#include "host/hostobjects/movie_info.h"
#include "host/hostobjects/movie_text_value.h"
#include "host/hostobjects/movie_window_rect.h"
#include "player/swf/swf_writer.h"

namespace vexil::hostobjects {
namespace {

using Kind = MovieTextValue::Kind;

TEST(MovieTextValue, BooleansIntegersDoublesAndText) {
  struct Case {
    std::u16string_view text;
    Kind kind;
    double number;
  } cases[] = {
      {u"true", Kind::Boolean, 1}, {u"false", Kind::Boolean, 0}, {u"True", Kind::Text, 0},
      {u"12", Kind::Integer, 12},  {u"-7", Kind::Integer, -7},   {u"+3", Kind::Integer, 3},
      {u"1.5", Kind::Double, 1.5}, {u".5", Kind::Double, 0.5},   {u"1e3", Kind::Double, 1000},
      {u"-2.5E-1", Kind::Double, -0.25},
      {u"99999999999999999999", Kind::Double, 1e20},  // too long for 64 bits: a double
      {u"", Kind::Text, 0},        {u"-", Kind::Text, 0},        {u"1.", Kind::Double, 1},
      {u" 12", Kind::Text, 0},     {u"12 ", Kind::Text, 0},      {u"0x10", Kind::Text, 0},
      {u"inf", Kind::Text, 0},     {u"nan", Kind::Text, 0},      {u"1e", Kind::Text, 0},
      {u"a,b", Kind::Text, 0},
  };
  for (const Case& c : cases) {
    MovieTextValue v = movieTextValue(c.text);
    EXPECT_EQ(v.kind, c.kind) << std::string(c.text.begin(), c.text.end());
    if (c.kind == Kind::Integer) {
      EXPECT_EQ(v.integer, int64_t(c.number));
    } else if (c.kind == Kind::Double) {
      EXPECT_DOUBLE_EQ(v.real, c.number);
    } else if (c.kind == Kind::Boolean) {
      EXPECT_EQ(v.boolean, c.number != 0);
    }
  }
}

TEST(MovieToWindow, EachScaleModePlacesTheMovie) {
  struct Case {
    int32_t mode;
    PixelSize client;
    WindowRect expected;
  } cases[] = {
      {2, {1100, 800}, {0, 1100, 0, 800}},    // exact fit
      {0, {1100, 1000}, {0, 1100, 100, 900}},  // show all: letterboxed top and bottom
      {1, {1100, 1000}, {-137, 1238, 0, 1000}},  // no border: cropped left and right
      {3, {1100, 800}, {275, 825, 200, 600}},  // no scale: centred
      {7, {1100, 800}, {0, 0, 0, 0}},          // unknown mode
  };
  for (const Case& c : cases) {
    auto rect = movieToWindow({550, 400}, c.client, c.mode, 0, 550, 0, 400);
    ASSERT_TRUE(rect) << c.mode;
    EXPECT_EQ(rect->left, c.expected.left) << c.mode;
    EXPECT_EQ(rect->right, c.expected.right) << c.mode;
    EXPECT_EQ(rect->top, c.expected.top) << c.mode;
    EXPECT_EQ(rect->bottom, c.expected.bottom) << c.mode;
  }
  // A movie without a size has nowhere to map to (no division by zero).
  EXPECT_FALSE(movieToWindow({0, 400}, {800, 600}, 0, 0, 1, 0, 1));
  EXPECT_FALSE(movieToWindow({550, 0}, {800, 600}, 2, 0, 1, 0, 1));
}

TEST(BindingTable, PathsCountTheirPrefixesAndIgnoreCase) {
  BindingTable table;
  table.bind(u"_root.clip.score");
  table.bind(u"_root.lives");
  table.bind(u"_ROOT.Lives");  // the same path
  EXPECT_EQ(table.size(), 2u);
  EXPECT_TRUE(table.isPrefix(u"_root"));
  EXPECT_TRUE(table.isPrefix(u"_Root.CLIP"));
  EXPECT_FALSE(table.isPrefix(u"_root.clip.score"));
  EXPECT_FALSE(table.isPrefix(u"_ro"));
  ASSERT_NE(table.value(u"_root.LIVES"), nullptr);
  EXPECT_EQ(table.value(u"_root.lives")->tag, script::Tag::Undefined);
  table.value(u"_root.lives")->setInteger(3);
  EXPECT_EQ(table.value(u"_ROOT.lives")->integer(), 3);

  table.unbind(u"_root.clip.score");
  EXPECT_FALSE(table.isPrefix(u"_root.clip"));
  EXPECT_TRUE(table.isPrefix(u"_root"));  // still counted by _root.lives
  table.unbind(u"_root.lives");
  EXPECT_FALSE(table.isPrefix(u"_root"));
  table.unbind(u"never.bound");
  EXPECT_EQ(table.size(), 0u);

  table.bind(u"a.b");
  table.clear();
  EXPECT_FALSE(table.isPrefix(u"a"));
  EXPECT_EQ(table.value(u"a.b"), nullptr);
}

std::vector<uint8_t> sampleMovie(bool compressed) {
  swf::MovieOutline outline;
  outline.version = 8;
  outline.compressed = compressed;
  outline.frameRect = {0, 640 * 20, 0, 480 * 20 + 19};  // a fraction of a pixel is dropped
  outline.frameRate = (25 << 8) | 0x80;                 // 25.5 fps: 25 whole
  outline.backgroundColor = 0x336699;
  outline.frames.resize(3);
  return swf::writeMovie(outline);
}

TEST(MovieInfo, HeaderFactsOfPlainAndCompressedMovies) {
  for (bool compressed : {false, true}) {
    std::vector<uint8_t> file = sampleMovie(compressed);
    auto info = readMovieInfo(file);
    ASSERT_TRUE(info) << compressed;
    EXPECT_EQ(info->xMax, 640);
    EXPECT_EQ(info->yMax, 480);
    EXPECT_EQ(info->rate, 25u);
    EXPECT_EQ(info->frameCount, 3u);
    EXPECT_EQ(info->version, 8u);
    EXPECT_EQ(info->backgroundColor, 0x336699);
    EXPECT_EQ(info->size, sampleMovie(false).size());  // the uncompressed length, as stated
  }
}

TEST(MovieInfo, AnExecutableCarriesItsMovieAtTheEnd) {
  std::vector<uint8_t> movie = sampleMovie(true);
  std::vector<uint8_t> exe = {'M', 'Z', 0x90, 0, 1, 2, 3};
  exe.insert(exe.end(), movie.begin(), movie.end());
  uint32_t length = uint32_t(movie.size());
  for (uint8_t b : {0x56, 0x34, 0x12, 0xFA}) exe.push_back(b);  // the player's marker
  for (int i = 0; i < 4; ++i) exe.push_back(uint8_t(length >> (8 * i)));
  auto info = readMovieInfo(exe);
  ASSERT_TRUE(info);
  EXPECT_EQ(info->frameCount, 3u);
}

TEST(MovieInfo, DamagedFilesGiveNothing) {
  std::vector<uint8_t> movie = sampleMovie(true);
  std::vector<std::vector<uint8_t>> bad = {
      {},
      {'F', 'W', 'S'},
      std::vector<uint8_t>(movie.begin(), movie.begin() + 12),  // compressed body cut short
      {'M', 'Z', 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF},   // an appended length past the start
      {'M', 'Z', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},               // nothing appended
  };
  for (const auto& file : bad) EXPECT_FALSE(readMovieInfo(file)) << file.size();
  // A compressed movie claiming more than the cap is refused, not inflated.
  EXPECT_FALSE(readMovieInfo(movie, 16));
}

}  // namespace
}  // namespace vexil::hostobjects
