#include <gtest/gtest.h>

#include <algorithm>

#include "player/swf/swf_error.h"
#include "tests/player/swf/movie_fixtures.h"

using namespace vexil::swf;
using namespace vexil::swf::testing;

namespace {

MovieOutline sampleSpec(bool compressed) {
  MovieOutline outline;
  outline.version = 7;
  outline.compressed = compressed;
  outline.frameRect = {0, 11013, 0, 8005};  // 550.65 x 400.25 pixels
  outline.frameRate = 0x1880;               // 24.5 frames per second
  outline.backgroundColor = 0x336699;
  FrameSpec first;
  first.labels = {"intro"};
  first.actions = {ActionBuilder().fsCommand("go", "1").bytes()};
  FrameSpec second;
  second.labels = {"Main", "alias"};
  outline.frames = {first, FrameSpec{}, second};
  return outline;
}

}  // namespace

class ReaderHeader : public ::testing::TestWithParam<bool> {};

TEST_P(ReaderHeader, ReadsWhatTheWriterWrote) {
  MovieOutline outline = sampleSpec(GetParam());
  std::vector<uint8_t> file = writeMovie(outline);
  EXPECT_EQ(file[0], GetParam() ? 'C' : 'F');
  Movie movie = readOrFail(file);
  EXPECT_EQ(movie.header.signature, GetParam() ? 'C' : 'F');
  EXPECT_EQ(movie.header.version, 7);
  EXPECT_EQ(movie.header.frameRect.xMax, 11013);
  EXPECT_EQ(twipsToPixels(movie.header.frameRect.xMax), 550);
  EXPECT_EQ(twipsToPixels(movie.header.frameRect.yMax), 400);
  EXPECT_EQ(movie.header.frameRate, 0x1880);
  EXPECT_EQ(movie.header.wholeFrameRate(), 24u);
  EXPECT_EQ(movie.header.frameCount, 3);
  ASSERT_EQ(movie.frames.size(), 3u);
  EXPECT_EQ(movie.backgroundColor, 0x336699u);
  EXPECT_EQ(movie.frames[0].actions.size(), 1u);
  EXPECT_EQ(movie.findLabel("MAIN"), 2u);
  EXPECT_EQ(movie.findLabel("alias"), 2u);
  EXPECT_EQ(movie.findLabel("missing"), std::nullopt);
  // The header's length is the uncompressed length in both forms.
  EXPECT_EQ(movie.header.fileLength, movie.decodedLength);
}

INSTANTIATE_TEST_SUITE_P(PlainAndCompressed, ReaderHeader, ::testing::Bool());

TEST(Reader, NegativeRectangleFieldsAreSigned) {
  MovieOutline outline;
  outline.frameRect = {-200, 2000, -40, 400};
  outline.frames.resize(1);
  Movie movie = readOrFail(writeMovie(outline));
  EXPECT_EQ(movie.header.frameRect.xMin, -200);
  EXPECT_EQ(movie.header.frameRect.yMin, -40);
  EXPECT_EQ(twipsToPixels(-30), -1);  // truncation toward zero
}

TEST(Reader, NoBackgroundTagMeansNoColour) {
  MovieOutline outline;
  outline.frames.resize(2);
  Movie movie = readOrFail(writeMovie(outline));
  EXPECT_FALSE(movie.backgroundColor.has_value());
}

TEST(Reader, HeaderFrameCountPadsMissingFrames) {
  MovieOutline outline;
  outline.frames.resize(2);
  outline.frameCountOverride = 5;
  EXPECT_EQ(readOrFail(writeMovie(outline)).frames.size(), 5u);
  outline.frameCountOverride = 0;
  EXPECT_EQ(readOrFail(writeMovie(outline)).frames.size(), 2u);
}

TEST(Reader, InitActionsAreMarkedAndKept) {
  MovieOutline outline;
  FrameSpec frame;
  frame.initActions = {ActionBuilder().stop().bytes()};
  frame.actions = {ActionBuilder().play().bytes()};
  outline.frames = {frame};
  Movie movie = readOrFail(writeMovie(outline));
  ASSERT_EQ(movie.frames[0].actions.size(), 2u);
  EXPECT_TRUE(movie.frames[0].actions[0].init);
  EXPECT_FALSE(movie.frames[0].actions[1].init);
}

TEST(Reader, LabelsOfOldMoviesAreAnsi) {
  MovieOutline outline;
  outline.version = 5;
  FrameSpec frame;
  frame.labels = {"caf\xC3\xA9"};  // written as the single byte 0xE9
  outline.frames = {frame};
  std::vector<uint8_t> file = writeMovie(outline);
  const uint8_t ansi[] = {'f', 0xE9, 0};
  EXPECT_NE(std::search(file.begin(), file.end(), std::begin(ansi), std::end(ansi)), file.end());
  EXPECT_EQ(readOrFail(file).frames[0].labels[0], "caf\xC3\xA9");
}

// Damaged files: each must give its error, never a crash or a huge allocation.
struct BadFile {
  const char* name;
  std::vector<uint8_t> (*make)();
  const char* error;
};

std::vector<uint8_t> validMovie(bool compressed) {
  MovieOutline outline = sampleSpec(compressed);
  return writeMovie(outline);
}

const BadFile kBadFiles[] = {
    {"empty", [] { return std::vector<uint8_t>{}; }, kErrorTooShort},
    {"seven bytes", [] { return std::vector<uint8_t>{'F', 'W', 'S', 6, 20, 0, 0}; }, kErrorTooShort},
    {"wrong signature", [] { auto f = validMovie(false); f[0] = 'Z'; return f; }, kErrorNotSwf},
    {"wrong signature tail", [] { auto f = validMovie(false); f[2] = 's'; return f; }, kErrorNotSwf},
    {"length below header", [] { auto f = validMovie(false); f[4] = 7; f[5] = f[6] = f[7] = 0; return f; },
     kErrorLengthTooSmall},
    {"header cut in rectangle", [] { auto f = validMovie(false); f.resize(10); return f; }, kErrorTruncatedHeader},
    {"compressed garbage", [] {
       std::vector<uint8_t> f(40, 0xAB);
       const uint8_t header[] = {'C', 'W', 'S', 6, 100, 0, 0, 0};
       std::copy(std::begin(header), std::end(header), f.begin());
       return f;
     },
     kErrorBadCompression},
    {"compressed body missing", [] { auto f = validMovie(true); f.resize(8); return f; }, kErrorTruncatedBody},
    {"tag longer than file", [] {
       auto f = validMovie(false);
       // The first tag (SetBackgroundColor) claims a long length that runs past the end.
       size_t tag = f.size() - 1;
       for (size_t i = 8; i + 1 < f.size(); ++i) {
         if (f[i] == 0x43 && f[i + 1] == 0x02) { tag = i; break; }
       }
       f[tag] = 0x7F;
       f.insert(f.begin() + static_cast<long>(tag) + 2, {0xFF, 0xFF, 0xFF, 0x7F});
       return f;
     }, kErrorTagPastEnd},
};

TEST(ReaderBadInput, EachDamageGivesItsError) {
  for (const BadFile& bad : kBadFiles) {
    ReadResult result = readMovie(bad.make());
    EXPECT_FALSE(result.ok()) << bad.name;
    EXPECT_EQ(result.error, bad.error) << bad.name;
  }
}

TEST(ReaderBadInput, ShortFileWithLongerClaimedLengthReadsWhatIsThere) {
  std::vector<uint8_t> file = validMovie(false);
  file.pop_back();  // drop the End tag's second byte: the tag stream just stops
  file.pop_back();
  ReadResult result = readMovie(file);
  ASSERT_TRUE(result.ok()) << result.error;
  EXPECT_EQ(result.movie->frames.size(), 3u);
}

TEST(ReaderBadInput, CompressedBombStopsAtTheLimit) {
  // 64 MiB of zeros compress to about 64 KiB; the reader must refuse it under a small limit
  // without ever holding more than the limit.
  std::vector<uint8_t> zeros(16u << 20, 0);
  MovieOutline outline;
  outline.compressed = true;
  FrameSpec frame;
  frame.actions = {zeros};
  outline.frames = {frame};
  std::vector<uint8_t> file = writeMovie(outline);
  ReadLimits limits;
  limits.maxMovieBytes = 1u << 20;
  ReadResult result = readMovie(file, limits);
  EXPECT_FALSE(result.ok());
  EXPECT_EQ(result.error, kErrorTooLarge);
}

TEST(ReaderBadInput, MissingFileIsAnError) {
  ReadResult result = readMovieFile("/nonexistent/dir/movie.swf");
  EXPECT_EQ(result.error, kErrorCannotOpen);
}
