// FileStream (and Stream) as scripts see them.
#include <filesystem>
#include <fstream>
#include <iterator>

#include "script/runtime/collector.h"
#include "streams_fixture.h"

namespace vexil::objects::test {
namespace {

class FileStreamClass : public StreamsTest {
 protected:
  std::string writeFile(const char* name, const Bytes& bytes) {
    std::string path = dir.file(name);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path;
  }
  Bytes readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  TempDir dir;
};

TEST_F(FileStreamClass, StreamAndFileStreamAreOneClass) {
  std::string path = writeFile("one.bin", bytesOf("x"));
  Value viaStream = make("Stream", {str(path)});
  ASSERT_EQ(viaStream.tag, Tag::Native);
  EXPECT_TRUE(script::isInstanceOf(engine(), viaStream, "FileStream"));
  EXPECT_TRUE(script::isInstanceOf(engine(), viaStream, "Stream"));
  EXPECT_EQ(text(call(viaStream, "toString")), "[object FileStream]");
  EXPECT_EQ(call(viaStream, "get").integer(), 'x');
}

TEST_F(FileStreamClass, ArgumentPatternsDecideHowTheFileOpens) {
  std::string existing = writeFile("existing.bin", bytesOf("data"));
  struct Case {
    std::vector<Value> args;
    bool opens;
  };
  const Case cases[] = {
      {{}, true},                                          // a temporary file
      {{str(existing)}, true},                             // update of an existing file
      {{str(dir.file("missing.bin"))}, false},             // one argument: the file must exist
      {{str(dir.path.string())}, false},                   // a directory exists but is no file
      {{str(dir.file("new.bin")), str("w")}, true},
      {{str(dir.file("missing.bin")), str("r")}, false},
      {{str(existing), str("rq")}, false},                 // a mode the C runtime does not know
      {{str(existing), str("")}, false},
      {{str(existing), str("rbt")}, false},                // two b's after the rewrite
      {{integer(1)}, false},
      {{str(existing), integer(1)}, false},
      {{str(existing), str("r"), str("x")}, false},
  };
  for (const Case& c : cases) {
    auto block = script::argumentBlock({});
    block[0] = integer(int64_t(c.args.size()));
    block.insert(block.end(), c.args.begin(), c.args.end());
    ASSERT_TRUE(script::callGlobal(engine(), "FileStream", block.data()));
    Value v = hold(engine().lastResult);
    EXPECT_EQ(v.tag, c.opens ? Tag::Native : Tag::Null) << &c - cases;
  }
  EXPECT_EQ(readFile(existing), bytesOf("data"));
}

// Text mode is never used: a "w" file and an "rt+" file see line ends exactly as written, which
// a Windows C runtime in text mode would not.
TEST_F(FileStreamClass, ModeStringsAreMadeBinary) {
  std::string path = dir.file("lines.txt");
  Value w = make("FileStream", {str(path), str("w")});
  call(w, "writeLine", {str("ab")});
  call(w, "write", {str("c\n")});
  call(w, "close");
  EXPECT_EQ(readFile(path), bytesOf("ab\r\nc\n"));

  Value rt = make("FileStream", {str(path), str("rt+")});
  ASSERT_EQ(rt.tag, Tag::Native);
  EXPECT_EQ(call(rt, "get").integer(), 'a');
  call(rt, "put", {integer('X')});  // "+": writable
  set(rt, "pos", integer(0));
  Value all = call(rt, "read", {integer(100)});
  EXPECT_EQ(content(all), bytesOf("aX\r\nc\n"));
}

TEST_F(FileStreamClass, ReadLineDropsOnlyTheCrOfCrLf) {
  struct Case {
    const char* data;
    std::vector<const char*> lines;
  };
  const Case cases[] = {
      {"ab\r\ncd", {"ab", "cd", ""}},
      {"a\rb\n", {"a\rb", ""}},  // a CR elsewhere stays
      {"x\r", {"x\r"}},
      {"\n\n", {"", "", ""}},
  };
  for (const Case& c : cases) {
    Value f = make("FileStream", {str(writeFile("line.txt", bytesOf(c.data)))});
    for (const char* line : c.lines) EXPECT_EQ(text(call(f, "readLine")), line) << c.data;
    EXPECT_TRUE(get(f, "eof").boolean());
    call(f, "close");
  }
}

TEST_F(FileStreamClass, BinaryValuesMatchTheStringStreamLayout) {
  Value f = make("FileStream");
  ASSERT_EQ(f.tag, Tag::Native);
  call(f, "write", {integer(1), str("A"), real(1.0)});
  EXPECT_EQ(get(f, "length").integer(), 13);  // buffered bytes count
  Value source = stringStream({9, 8, 7});
  call(f, "write", {source});  // a StringStream writes its content
  call(f, "putShort", {integer(0x12345)});
  call(f, "putFloat", {integer(2)});
  call(f, "writeString", {str("s")});
  call(f, "writeUnicodeString", {str("u")});
  EXPECT_EQ(get(f, "pos").integer(), 13 + 3 + 2 + 4 + 2 + 4);
  set(f, "pos", integer(0));
  EXPECT_EQ(call(f, "getLong").integer(), 1);
  EXPECT_EQ(call(f, "get").integer(), 'A');
  EXPECT_EQ(call(f, "getDouble").real(), 1.0);
  EXPECT_EQ(content(call(f, "read", {integer(3)})), Bytes({9, 8, 7}));
  EXPECT_EQ(call(f, "getShort").integer(), 0x2345);
  EXPECT_EQ(call(f, "getFloat").real(), 2.0);
  EXPECT_EQ(text(call(f, "readString")), "s");
  EXPECT_EQ(text(call(f, "readUnicodeString")), "u");
  EXPECT_FALSE(get(f, "eof").boolean());
  EXPECT_EQ(call(f, "get").integer(), kStreamEof);
  EXPECT_TRUE(get(f, "eof").boolean());
  EXPECT_EQ(call(f, "getLong").integer(), 0);
}

TEST_F(FileStreamClass, PutAndUngetAnswerWhetherTheyWorked) {
  Value f = make("FileStream");
  EXPECT_TRUE(call(f, "put", {integer(0x161)}).boolean());
  EXPECT_FALSE(call(f, "put", {str("b")}).boolean());  // put takes integers only
  EXPECT_FALSE(call(f, "put").boolean());
  EXPECT_EQ(call(f, "put").tag, Tag::Boolean);
  set(f, "pos", integer(0));
  EXPECT_EQ(call(f, "get").integer(), 0x61);
  EXPECT_TRUE(call(f, "unget", {str("z")}).boolean());
  EXPECT_EQ(call(f, "get").integer(), 'z');
  EXPECT_TRUE(call(f, "unget", {integer('q')}).boolean());
  EXPECT_EQ(call(f, "get").integer(), 'q');
  EXPECT_FALSE(call(f, "unget", {str("")}).boolean());
  EXPECT_FALSE(call(f, "unget").boolean());
  EXPECT_TRUE(call(f, "flush").boolean());
}

TEST_F(FileStreamClass, LengthCutsOnlyDownwardsAndRewinds) {
  std::string path = writeFile("cut.bin", bytesOf("0123456789"));
  Value f = make("FileStream", {str(path)});
  set(f, "pos", integer(7));
  for (Value ignored : {integer(10), integer(11), integer(-1), str("3")}) {
    set(f, "length", ignored);
    EXPECT_EQ(get(f, "length").integer(), 10);
    EXPECT_EQ(get(f, "pos").integer(), 7);
  }
  set(f, "length", real(4.8));
  EXPECT_EQ(get(f, "length").integer(), 4);
  EXPECT_EQ(get(f, "pos").integer(), 0);
  EXPECT_EQ(text(call(f, "readLine")), "0123");
  set(f, "length", integer(0));
  call(f, "close");
  EXPECT_EQ(readFile(path), Bytes{});
}

TEST_F(FileStreamClass, PosSeeksFromTheStartAndIgnoresNegatives) {
  Value f = make("FileStream", {str(writeFile("pos.bin", bytesOf("abcdef")))});
  set(f, "pos", real(3.7));
  EXPECT_EQ(call(f, "get").integer(), 'd');
  set(f, "pos", integer(-2));
  EXPECT_EQ(get(f, "pos").integer(), 4);
  set(f, "pos", integer(100));  // beyond the end is a position, with nothing to read there
  EXPECT_EQ(call(f, "get").integer(), kStreamEof);
  EXPECT_TRUE(get(f, "eof").boolean());
  set(f, "pos", integer(0));
  EXPECT_FALSE(get(f, "eof").boolean());
}

TEST_F(FileStreamClass, AClosedStreamAnswersNothingButItsDescription) {
  Value f = make("FileStream");
  call(f, "close");
  EXPECT_TRUE(handled);
  for (const char* method : {"get", "put", "write", "flush", "close", "readLine"}) {
    call(f, method);
    EXPECT_FALSE(handled) << method;
  }
  for (const char* property : {"pos", "eof", "length"}) {
    get(f, property);
    EXPECT_FALSE(handled) << property;
  }
  EXPECT_EQ(text(call(f, "toString")), "[object FileStream]");
  // Nothing on the class object but its description.
  Value classObject = script::globalSlot(engine(), "FileStream");
  call(classObject, "get");
  EXPECT_FALSE(handled);
  EXPECT_EQ(text(call(classObject, "toString")), "[object FileStream]");
}

TEST_F(FileStreamClass, AnUnreachableStreamClosesItsFile) {
  std::string path = dir.file("released.bin");
  {
    auto block = script::argumentBlock({str(path), str("w")});
    ASSERT_TRUE(script::callGlobal(engine(), "FileStream", block.data()));
    Value f = engine().lastResult;
    ASSERT_EQ(f.tag, Tag::Native);
    auto line = script::argumentBlock({str("buffered")});
    ASSERT_TRUE(script::callMethod(engine(), f, "write", line.data()));
  }
  engine().lastResult.setUndefined();
  script::collectGarbage(engine(), engine().sp);
  EXPECT_EQ(readFile(path), bytesOf("buffered"));  // written out when the stream was released
}

}  // namespace
}  // namespace vexil::objects::test
