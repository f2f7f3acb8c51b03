#include <gtest/gtest.h>

#include "platform/environment.h"
#include "platform/file_system.h"
#include "player/swf/action_builder.h"
#include "player/swf/swf_error.h"
#include "player/swf/swf_writer.h"
#include "tools/swfinfo/json_writer.h"
#include "tools/swfinfo/movie_json.h"

using namespace vexil;
using namespace vexil::swf;
using vexil::swfinfo::describeMovieFile;

namespace {

// A scratch directory in the system's temporary directory, removed with everything in it.
struct ScratchDir {
  std::string path;
  ScratchDir() {
    using namespace vexil::platform;
    std::string base = environmentVariable("TMP").value_or(environmentVariable("TEMP").value_or("/tmp"));
    if (base.back() != '\\' && base.back() != '/') base += '/';
    path = base + newGuidText() + "/";
    createDirectory(path);
  }
  ~ScratchDir() { platform::deleteTree(path); }

  std::string write(const char* name, const std::vector<uint8_t>& bytes) const {
    std::string file = path + name;
    platform::writeWholeFile(file, bytes.data(), bytes.size());
    return file;
  }
};

// What is after the "file" member, which holds the scratch path.
std::string withoutFile(const std::string& json) {
  size_t comma = json.find(",\"", 1);
  return comma == std::string::npos ? json : "{" + json.substr(comma + 1);
}

}  // namespace

TEST(SwfInfo, DescribesHeaderLabelsAndCommands) {
  ScratchDir dir;
  MovieOutline outline;
  outline.version = 6;
  outline.compressed = true;
  outline.frameRect = {0, 11013, -30, 8000};
  outline.frameRate = 0x1880;
  outline.backgroundColor = 0x00FF80;
  FrameSpec first;
  first.labels = {"start"};
  first.actions = {ActionBuilder().fsCommand("Vexil_Run", "Initialize").bytes()};
  FrameSpec second;
  second.actions = {ActionBuilder().fsCommand("quit", "").stop().bytes()};
  FrameSpec third;
  third.labels = {"never \"run\""};
  third.actions = {ActionBuilder().fsCommand("unreached", "").bytes()};
  outline.frames = {first, second, third};
  bool ok = false;
  std::string json = describeMovieFile(dir.write("a.swf", writeMovie(outline)), &ok);
  EXPECT_TRUE(ok);
  // The header's length is the uncompressed one; pixels truncate toward zero (-30 twips is -1).
  EXPECT_EQ(withoutFile(json),
            "{\"signature\":\"CWS\",\"version\":6,\"fileLength\":143,"
            "\"frameRectTwips\":{\"xMin\":0,\"xMax\":11013,\"yMin\":-30,\"yMax\":8000},"
            "\"frameRectPixels\":{\"xMin\":0,\"xMax\":550,\"yMin\":-1,\"yMax\":400},"
            "\"frameRate\":{\"fixed8_8\":6272,\"value\":24.5,\"whole\":24},\"frameCount\":3,"
            "\"backgroundColor\":65408,"
            "\"labels\":[{\"label\":\"start\",\"frame\":1},{\"label\":\"never \\\"run\\\"\",\"frame\":3}],"
            "\"fsCommands\":[{\"command\":\"Vexil_Run\",\"argument\":\"Initialize\",\"frame\":1},"
            "{\"command\":\"quit\",\"argument\":\"\",\"frame\":2}]}");
}

TEST(SwfInfo, NoBackgroundAndPlainMovie) {
  ScratchDir dir;
  MovieOutline outline;
  outline.frames.resize(1);
  std::string json = withoutFile(describeMovieFile(dir.write("plain.swf", writeMovie(outline))));
  EXPECT_EQ(json,
            "{\"signature\":\"FWS\",\"version\":6,\"fileLength\":25,"
            "\"frameRectTwips\":{\"xMin\":0,\"xMax\":11000,\"yMin\":0,\"yMax\":8000},"
            "\"frameRectPixels\":{\"xMin\":0,\"xMax\":550,\"yMin\":0,\"yMax\":400},"
            "\"frameRate\":{\"fixed8_8\":3072,\"value\":12,\"whole\":12},\"frameCount\":1,"
            "\"backgroundColor\":-1,\"labels\":[],\"fsCommands\":[]}");
}

TEST(SwfInfo, UnreadableFilesGiveAnErrorObject) {
  ScratchDir dir;
  bool ok = true;
  std::string json = describeMovieFile(dir.write("bad.swf", {'G', 'I', 'F', '8', '9', 'a', 0, 0}), &ok);
  EXPECT_FALSE(ok);
  EXPECT_EQ(withoutFile(json), std::string("{\"error\":\"") + kErrorNotSwf + "\"}");
  EXPECT_EQ(withoutFile(describeMovieFile(dir.path + "missing.swf", &ok)),
            std::string("{\"error\":\"") + kErrorCannotOpen + "\"}");
}

TEST(JsonWriter, EscapesControlsQuotesAndBadUtf8) {
  using vexil::swfinfo::escapeJsonString;
  EXPECT_EQ(escapeJsonString("a\"b\\c"), "\"a\\\"b\\\\c\"");
  EXPECT_EQ(escapeJsonString("\n\x01"), "\"\\u000a\\u0001\"");
  EXPECT_EQ(escapeJsonString("caf\xC3\xA9"), "\"caf\xC3\xA9\"");
  EXPECT_EQ(escapeJsonString("\xE9t\xC0\xAF"), "\"\xEF\xBF\xBDt\xEF\xBF\xBD\xEF\xBF\xBD\"");
}
