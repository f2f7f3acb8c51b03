#include <cstring>
#include <filesystem>
#include <string>

#include "platform/environment.h"
#include "platform/file_system.h"
#include "script/compiler/script_stream.h"
#include "tests/script/compiler/compiler_fixture.h"

namespace vexil::script::test {
namespace {

namespace fs = std::filesystem;

struct TempDir {
  fs::path path = fs::temp_directory_path() / ("vx-stream-" + platform::newGuidText());
  TempDir() { fs::create_directories(path); }
  ~TempDir() {
    std::error_code ignored;
    fs::remove_all(path, ignored);
  }
  std::string file(const char* name) const { return (path / name).string(); }
};

std::string readAll(ScriptStream& stream, size_t limit = 1 << 20) {
  std::string out;
  for (int byte; out.size() < limit && (byte = stream.getByte()) != 0;) out.push_back(char(byte));
  return out;
}

TEST(ScriptStream, AStringSourceReadsItsBytesThenZeroForever) {
  ScriptStream stream("ab\xE9");
  EXPECT_EQ(stream.kind(), StreamKind::StringSource);
  EXPECT_EQ(stream.name(), "string");
  EXPECT_EQ(stream.getByte(), 'a');
  EXPECT_EQ(stream.getByte(), 'b');
  EXPECT_EQ(stream.getByte(), 0xE9);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(stream.getByte(), 0);
}

TEST(ScriptStream, AStringSourceEndsAtItsFirstNulByte) {
  ScriptStream stream(std::string_view("ab\0cd", 5));
  EXPECT_EQ(readAll(stream), "ab");
  EXPECT_EQ(stream.getByte(), 0);
}

TEST(ScriptStream, PushedBackBytesComeFirstLastPushedFirst) {
  ScriptStream stream("xy");
  EXPECT_EQ(stream.getByte(), 'x');
  stream.ungetByte('2');
  stream.ungetByte('1');
  EXPECT_EQ(stream.peekByte(), '1');
  EXPECT_EQ(readAll(stream), "12y");
  // Many at once: the stack grows as needed.
  for (int i = 0; i < 100; ++i) stream.ungetByte('a' + i % 26);
  std::string back = readAll(stream);
  ASSERT_EQ(back.size(), 100u);
  EXPECT_EQ(back[0], 'a' + 99 % 26);
}

TEST(ScriptStream, RewindReadsTheSourceAgainAndResetsTheLine) {
  ScriptStream stream("abc");
  stream.getByte();
  stream.ungetByte('z');
  stream.line = 7;
  stream.rewind();
  EXPECT_EQ(stream.line, 0);
  EXPECT_EQ(readAll(stream), "abc");
}

// Every format letter, in upper and lower case.
TEST(ScriptStream, FormattedWriteKnowsEveryLetter) {
  ScriptStream buffer;
  EXPECT_EQ(buffer.kind(), StreamKind::MemoryBuffer);
  const char raw[] = {'r', 0, 'w'};
  ASSERT_EQ(buffer.write("a|A|", -42, 7), 0);  // '|' is no letter: the write stops there
  buffer.rewind();
  ASSERT_EQ(buffer.write("aAbcC", -42, 7, 3, raw, 'Q', 0x1FF), 1);
  EXPECT_EQ(buffer.contents(), std::string("-427r\0wQ\xFF", 9));
  buffer.rewind();
  ASSERT_EQ(buffer.write("dfF", 1.5, 2.25, -0.5), 1);
  std::string expected("\0\0\0\0\0\0\xF8\x3F" "2.250000-0.500000", 25);
  EXPECT_EQ(buffer.contents(), expected);
  buffer.rewind();
  ASSERT_EQ(buffer.write("iIlL", 0x1234, 0xABCDEF, 0x01020304, 0xFFFFFFFEu), 1);
  EXPECT_EQ(buffer.contents(), std::string("\x12\x34\xCD\xEF\x01\x02\x03\x04\xFF\xFF\xFF\xFE", 12));
  buffer.rewind();
  ASSERT_EQ(buffer.write("sxX", "text", 2, "ab", 0, ""), 1);
  EXPECT_EQ(buffer.contents(), std::string("text\0\0\0\x02" "ab\0\0\0\0", 14));
}

TEST(ScriptStream, AMemoryBufferGrowsToHoldLongWrites) {
  ScriptStream buffer;
  std::string big(100000, 'x');
  for (int i = 0; i < 10; ++i) ASSERT_EQ(buffer.write("s", big.c_str()), 1);
  EXPECT_EQ(buffer.contents().size(), 1000000u);
}

TEST(ScriptStream, SourcesRefuseWrites) {
  ScriptStream source("abc");
  EXPECT_EQ(source.write("s", "x"), 0);
  EXPECT_EQ(readAll(source), "abc");
}

TEST(ScriptStream, AFileSourceReadsAcrossItsBufferAndEndsWithZero) {
  TempDir dir;
  std::string text;
  for (int i = 0; i < 3 * 4096 + 17; ++i) text.push_back(char('a' + i % 26));
  const std::string path = dir.file("source.vxs");
  ASSERT_TRUE(platform::writeWholeFile(path, text.data(), text.size()));
  Engine* engine = createEngine(EngineConfig());
  auto stream = ScriptStream::openFileSource(*engine, path);
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(stream->kind(), StreamKind::FileSource);
  EXPECT_EQ(stream->name(), path);
  EXPECT_EQ(readAll(*stream), text);
  EXPECT_EQ(stream->getByte(), 0);
  stream->rewind();
  EXPECT_EQ(readAll(*stream), text);
  destroyEngine(engine);
}

TEST(ScriptStream, AFileSourceOfExactlyOneBufferEndsToo) {
  TempDir dir;
  std::string text(4096, 'q');
  const std::string path = dir.file("full.vxs");
  ASSERT_TRUE(platform::writeWholeFile(path, text.data(), text.size()));
  Engine* engine = createEngine(EngineConfig());
  auto stream = ScriptStream::openFileSource(*engine, path);
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(readAll(*stream), text);
  destroyEngine(engine);
}

TEST(ScriptStream, AMissingFileSourceAppendsToTheEngineMessage) {
  TempDir dir;
  Engine* engine = createEngine(EngineConfig());
  std::strcpy(engine->message, "before|");
  const std::string path = dir.file("absent.vxs");
  EXPECT_EQ(ScriptStream::openFileSource(*engine, path), nullptr);
  EXPECT_EQ(std::string(engine->message), "before|can't open the script file: " + path + "\n");
  destroyEngine(engine);
}

// Small writes gather in the buffer; a write of half the buffer or more goes straight out, after
// what was gathered.
TEST(ScriptStream, AFileSinkKeepsTheOrderOfBufferedAndDirectWrites) {
  TempDir dir;
  const std::string path = dir.file("out.bin");
  auto sink = ScriptStream::openFileSink(path);
  ASSERT_NE(sink, nullptr);
  std::string expected;
  std::string large(3000, 'L');
  for (int round = 0; round < 5; ++round) {
    ASSERT_EQ(sink->write("sa", "small", round), 1);
    expected += "small" + std::to_string(round);
    ASSERT_EQ(sink->write("b", int(large.size()), large.data()), 1);
    expected += large;
  }
  std::string filler(1500, 'f');
  for (int i = 0; i < 7; ++i) ASSERT_EQ(sink->write("s", filler.c_str()), 1);
  expected += std::string(7 * 1500, 'f');
  ASSERT_TRUE(sink->close());
  auto bytes = platform::readWholeFile(path);
  ASSERT_TRUE(bytes.has_value());
  EXPECT_EQ(std::string(bytes->begin(), bytes->end()), expected);
}

// The front end reads a file source as it reads a text, across buffer refills.
TEST_F(CompilerTest, AFileSourceParsesLikeItsText) {
  TempDir dir;
  std::string text;
  for (int i = 0; i < 1000; ++i) text += "x" + std::to_string(i) + " = 'value';\n";
  const std::string path = dir.file("script.vxs");
  ASSERT_TRUE(platform::writeWholeFile(path, text.data(), text.size()));
  auto stream = ScriptStream::openFileSource(engine(), path);
  ASSERT_NE(stream, nullptr);
  Compilation compilation(engine(), *stream, 0);
  ASSERT_TRUE(runFrontEnd(compilation));
  EXPECT_EQ(compilation.parser.main.count, 1000u);
  EXPECT_EQ(stream->line, 1000);
}

}  // namespace
}  // namespace vexil::script::test
