// StringStream as scripts see it.
#include <cmath>
#include <cstring>
#include <fstream>

#include "objects/streams/stream_compression.h"
#include "script/runtime/collector.h"
#include "streams_fixture.h"

namespace vexil::objects::test {
namespace {

using StringStreamClass = StreamsTest;

// write(1, "A", 1.0): an integer as 4 bytes, a string as its ANSI bytes, a number as a double.
const Bytes kThirteenBytes = {0x01, 0x00, 0x00, 0x00, 'A', 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF0, 0x3F};

TEST_F(StringStreamClass, RegistrationPublishesTheClassAndItsConstants) {
  EXPECT_EQ(script::globalSlot(engine(), "$STREAM_IN").integer(), 1);
  EXPECT_EQ(script::globalSlot(engine(), "$STREAM_OUT").integer(), 2);
  Value s = make("StringStream");
  // The constant is the very value get answers at the end, so scripts can compare the two.
  EXPECT_TRUE(script::sameValue(script::globalSlot(engine(), "$STREAM_EOF"), call(s, "get")));
  EXPECT_EQ(script::globalSlot(engine(), "$STREAM_EOF").integer(), -1);
  EXPECT_TRUE(script::isInstanceOf(engine(), s, "StringStream"));
  EXPECT_EQ(call(s, "toString").tag, Tag::String);
}

TEST_F(StringStreamClass, ConstructionAndCallAlikeTakeAnOptionalMode) {
  Value text = str("1");
  for (auto [args, mode] : {std::pair{std::vector<Value>{}, 3u}, {{integer(1)}, 1u}, {{integer(2)}, 2u},
                            {{text}, 3u}}) {
    std::vector<Value> block{integer(int64_t(args.size()))};
    block.insert(block.end(), args.begin(), args.end());
    Value viaNew;
    script::NativeClass* cls = script::globalSlot(engine(), "StringStream").native()->cls;
    cls->construct(engine(), cls, block.data(), &viaNew);
    hold(viaNew);
    ASSERT_TRUE(stringStreamOf(viaNew));
    EXPECT_EQ(stringStreamOf(viaNew)->mode(), mode);
    ASSERT_TRUE(script::callGlobal(engine(), "StringStream", block.data()));
    EXPECT_EQ(stringStreamOf(hold(engine().lastResult))->mode(), mode);
  }
}

TEST_F(StringStreamClass, GetOnAnEmptyStreamIsEofUntilGetPosIsSet) {
  Value s = make("StringStream");
  EXPECT_FALSE(get(s, "eof").boolean());
  EXPECT_EQ(call(s, "get").integer(), kStreamEof);
  EXPECT_TRUE(get(s, "eof").boolean());
  set(s, "getPos", integer(0));
  EXPECT_FALSE(get(s, "eof").boolean());
}

TEST_F(StringStreamClass, WriteLaysOutIntegersStringsAndNumbers) {
  Value s = make("StringStream");
  call(s, "write", {integer(1), str("A"), real(1.0)});
  EXPECT_EQ(content(s), kThirteenBytes);
  EXPECT_EQ(get(s, "length").integer(), 13);

  Value t = make("StringStream");
  call(t, "write", {Value::fromBoolean(true), integer(0x1122334455667788), Value::null(), Value::undefined(), s});
  EXPECT_EQ(content(t), Bytes({1, 0, 0, 0, 0x88, 0x77, 0x66, 0x55}));  // low 32 bits; the rest write nothing
  call(t, "writeLine", {str("z")});
  EXPECT_EQ(content(t).size(), 11u);
  EXPECT_EQ(content(t)[9], 0x0D);
  EXPECT_EQ(content(t)[10], 0x0A);
}

TEST_F(StringStreamClass, FixedSizeValuesRoundTripLittleEndian) {
  Value s = make("StringStream");
  call(s, "putShort", {integer(-2)});
  call(s, "write", {integer(-123456)});
  call(s, "putFloat", {real(1.5)});
  call(s, "write", {real(-0.25)});
  call(s, "put", {integer(0x1FF)});
  call(s, "put", {str("\xE9tc")});
  EXPECT_EQ(content(s).size(), 2u + 4 + 4 + 8 + 1 + 1);
  EXPECT_EQ(content(s)[0], 0xFE);
  EXPECT_EQ(content(s)[1], 0xFF);
  EXPECT_EQ(call(s, "getShort").integer(), -2);
  EXPECT_EQ(call(s, "getLong").integer(), -123456);
  EXPECT_EQ(call(s, "getFloat").real(), 1.5);
  EXPECT_EQ(call(s, "getDouble").real(), -0.25);
  EXPECT_EQ(call(s, "get").integer(), 0xFF);
  EXPECT_EQ(call(s, "get").integer(), 0xE9);
  // At the end: nothing read gives 0, and the flag is up.
  EXPECT_EQ(call(s, "getShort").integer(), 0);
  EXPECT_EQ(call(s, "getLong").integer(), 0);
  EXPECT_TRUE(get(s, "eof").boolean());
}

TEST_F(StringStreamClass, AShortFixedSizeReadKeepsWhatItGot) {
  Value s = stringStream({0x34, 0x12, 0x80});
  EXPECT_EQ(call(s, "getLong").integer(), 0x801234);
  Value t = stringStream({0xFF});
  EXPECT_EQ(call(t, "getShort").integer(), 0xFF);
}

TEST_F(StringStreamClass, ReadLineEndsAtLfAtCrLfAndAtCrBeforeTheEnd) {
  struct Case {
    const char* data;
    std::vector<const char*> lines;  // successive readLine results
  };
  const Case cases[] = {
      {"ab\r\ncd", {"ab", "cd", ""}},
      {"ab\ncd\n", {"ab", "cd", ""}},
      {"a\rb\n", {"ab", ""}},    // a lone CR inside a line is dropped
      {"a\r\r\nb", {"a", "b"}},  // the first CR dropped, the second ends the line with the LF
      {"x\r", {"x", ""}},        // CR at the end of data
      {"", {""}},
  };
  for (const Case& c : cases) {
    Value s = stringStream(bytesOf(c.data));
    for (const char* line : c.lines) EXPECT_EQ(text(call(s, "readLine")), line) << c.data;
  }
  Value s = stringStream(bytesOf("caf\xE9"));
  EXPECT_EQ(call(s, "readLine").string()->view(), u"caf\u00E9");
}

TEST_F(StringStreamClass, ZeroTerminatedStringsInAnsiAndUtf16) {
  Value s = make("StringStream");
  call(s, "writeString", {str("ab"), integer(42), Value::fromBoolean(false)});
  EXPECT_EQ(content(s), bytesOf(std::string("ab\0" "42\0" "false\0", 12)));
  EXPECT_EQ(text(call(s, "readString")), "ab");
  EXPECT_EQ(text(call(s, "readString")), "42");

  Value u = make("StringStream");
  call(u, "writeUnicodeString", {hold(script::makeString(engine(), u"\u20AC1"))});
  EXPECT_EQ(content(u), Bytes({0xAC, 0x20, '1', 0, 0, 0}));
  EXPECT_EQ(call(u, "readUnicodeString").string()->view(), u"\u20AC1");

  // Without a terminator: up to the end; an odd last byte is not a unit.
  Value open = stringStream({'h', 'i'});
  EXPECT_EQ(text(call(open, "readString")), "hi");
  Value odd = stringStream({'h', 0, 'i'});
  EXPECT_EQ(call(odd, "readUnicodeString").string()->view(), u"h");
}

TEST_F(StringStreamClass, ReadTakesUpToTheCountIntoANewStream) {
  Value s = stringStream(bytesOf("abcdef"));
  call(s, "get");
  Value part = call(s, "read", {integer(3)});
  EXPECT_EQ(content(part), bytesOf("bcd"));
  EXPECT_EQ(stringStreamOf(part)->mode(), kStreamInOut);
  // A huge count takes what there is, without reserving the count.
  EXPECT_EQ(content(call(s, "read", {integer(int64_t(1) << 50)})), bytesOf("ef"));
  EXPECT_EQ(content(call(s, "read", {integer(5)})), Bytes{});
  for (Value bad : {integer(0), integer(-1), str("3"), Value::null()}) {
    EXPECT_EQ(call(s, "read", {bad}).tag, Tag::Undefined);
  }
  EXPECT_EQ(call(s, "read").tag, Tag::Undefined);
}

TEST_F(StringStreamClass, UngetStepsBackOrPutsAByteBack) {
  Value s = stringStream(bytesOf("ab"));
  EXPECT_EQ(call(s, "get").integer(), 'a');
  EXPECT_EQ(call(s, "unget").tag, Tag::Undefined);
  EXPECT_EQ(call(s, "get").integer(), 'a');
  call(s, "unget", {str("Q")});
  EXPECT_EQ(call(s, "get").integer(), 'Q');
  call(s, "unget", {integer(0x141)});
  EXPECT_EQ(call(s, "get").integer(), 0x41);
}

TEST_F(StringStreamClass, PositionPropertiesClearFlagsAndRefuseTheImpossible) {
  Value s = stringStream(bytesOf("abc"));
  set(s, "getPos", real(2.9));
  EXPECT_EQ(get(s, "getPos").integer(), 2);
  set(s, "getPos", integer(-1));
  EXPECT_EQ(get(s, "getPos").integer(), 2);
  set(s, "getPos", str("0"));
  EXPECT_EQ(get(s, "getPos").integer(), 2);
  set(s, "putPos", integer(1));
  call(s, "write", {str("Z")});
  EXPECT_EQ(content(s), bytesOf("aZc"));
  EXPECT_EQ(get(s, "putPos").integer(), 2);
  set(s, "getPos", integer(99));
  EXPECT_EQ(get(s, "getPos").integer(), 2);
  set(s, "eof", Value::fromBoolean(true));  // read-only: accepted and ignored
  EXPECT_TRUE(handled);
  EXPECT_FALSE(get(s, "eof").boolean());
}

TEST_F(StringStreamClass, WholeContentOperationsLeavePositionsAndFlagsAlone) {
  Value s = stringStream(bytesOf("hello"));
  call(s, "get");
  call(s, "read", {integer(10)});  // to the end: eof
  set(s, "putPos", integer(2));
  call(s, "get");
  ASSERT_TRUE(get(s, "eof").boolean());
  uint64_t getPos = stringStreamOf(s)->getPos(), putPos = stringStreamOf(s)->putPos();
  EXPECT_EQ(get(s, "length").integer(), 5);
  EXPECT_EQ(get(s, "crc").integer(), 0x3610A686);
  EXPECT_EQ(text(call(s, "toString")), "hello");
  EXPECT_EQ(call(s, "compress").tag, Tag::Native);
  EXPECT_EQ(stringStreamOf(s)->getPos(), getPos);
  EXPECT_EQ(stringStreamOf(s)->putPos(), putPos);
  EXPECT_TRUE(get(s, "eof").boolean());
}

TEST_F(StringStreamClass, CompressThenUncompressGivesTheSameLengthAndCrc) {
  Value s = make("StringStream");
  for (int i = 0; i < 2000; ++i) call(s, "writeLine", {str("line "), integer(i)});
  Value packed = call(s, "compress");
  ASSERT_TRUE(stringStreamOf(packed));
  EXPECT_LT(get(packed, "length").integer(), get(s, "length").integer());
  Value back = call(packed, "uncompress");
  ASSERT_TRUE(stringStreamOf(back));
  EXPECT_EQ(get(back, "length").integer(), get(s, "length").integer());
  EXPECT_EQ(get(back, "crc").integer(), get(s, "crc").integer());
  EXPECT_EQ(content(call(s, "compress", {integer(9)})), *compressBytes(content(s), 9));
  EXPECT_EQ(call(s, "compress", {integer(10)}).tag, Tag::Null);
  EXPECT_EQ(call(s, "compress", {integer((int64_t(1) << 32) + 6)}).tag, Tag::Null);
  EXPECT_EQ(call(s, "uncompress").tag, Tag::Null);  // plain text is no zlib stream
  EXPECT_EQ(content(call(stringStream({0x78, 0x9C, 0xCB, 0x48, 0xCD, 0xC9, 0xC9, 0x07, 0x00, 0x06, 0x2C, 0x02,
                                       0x15}),
                         "uncompress")),
            bytesOf("hello"));
}

TEST_F(StringStreamClass, FilesAreSavedAndReadWholeAndBinary) {
  TempDir dir;
  std::string path = dir.file("saved.bin");
  Value s = stringStream({'a', '\r', '\n', 0, 0xFF, '\n'});
  EXPECT_EQ(call(s, "saveToFile", {str(path)}).tag, Tag::Undefined);
  Value classObject = script::globalSlot(engine(), "StringStream");
  Value loaded = call(classObject, "readFromFile", {str(path)});
  ASSERT_TRUE(handled);
  EXPECT_EQ(content(loaded), content(s));
  EXPECT_EQ(stringStreamOf(loaded)->getPos(), 0u);
  // An instance answers it too; a missing file or a non-string is undefined.
  EXPECT_EQ(content(call(s, "readFromFile", {str(path)})), content(s));
  EXPECT_EQ(call(classObject, "readFromFile", {str(dir.file("missing.bin"))}).tag, Tag::Undefined);
  EXPECT_EQ(call(classObject, "readFromFile", {integer(1)}).tag, Tag::Undefined);
  // A file that cannot be made is passed over in silence.
  EXPECT_EQ(call(s, "saveToFile", {str(dir.file("no\\such\\dir.bin"))}).tag, Tag::Undefined);
  EXPECT_TRUE(handled);
  // Other members need an instance.
  call(classObject, "get");
  EXPECT_FALSE(handled);
}

TEST_F(StringStreamClass, AClosedStreamAnswersNothingButItsDescription) {
  Value s = stringStream(bytesOf("abc"));
  EXPECT_EQ(call(s, "flush").tag, Tag::Undefined);
  EXPECT_TRUE(handled);
  call(s, "close");
  EXPECT_TRUE(handled);
  EXPECT_EQ(stringStreamOf(s), nullptr);
  for (const char* method : {"get", "write", "close", "compress", "readLine"}) {
    call(s, method);
    EXPECT_FALSE(handled) << method;
  }
  get(s, "length");
  EXPECT_FALSE(handled);
  EXPECT_EQ(text(call(s, "toString")), "[object StringStream]");
}

TEST_F(StringStreamClass, HostCodeMakesAndRecognisesStreamsWhateverTheGlobalHolds) {
  Value s = stringStream(bytesOf("xy"));
  ASSERT_TRUE(stringStreamOf(s));
  EXPECT_EQ(stringStreamOf(Value::fromInteger(1)), nullptr);
  EXPECT_EQ(stringStreamOf(script::globalSlot(engine(), "StringStream")), nullptr);  // the class object
  // A script that rebinds the global cannot pass something else off as a stream; streams made
  // before keep working, and host code still makes new ones from the class the engine registered.
  script::globalSlot(engine(), "StringStream") = Value::fromInteger(5);
  script::collectGarbage(engine(), engine().sp);
  EXPECT_TRUE(stringStreamOf(s));
  EXPECT_EQ(content(call(s, "compress")).empty(), false);
  Value v = stringStream({1});
  EXPECT_EQ(content(v), Bytes{1});
}

TEST_F(StringStreamClass, UnreachableStreamsAreReleasedByTheCollector) {
  for (int i = 0; i < 100; ++i) {
    Value v;
    newStringStream(engine(), &v, Bytes(100000, uint8_t(i)));
  }
  script::collectGarbage(engine(), engine().sp);
  Value kept = stringStream(bytesOf("kept"));
  script::collectGarbage(engine(), engine().sp);
  EXPECT_EQ(content(kept), bytesOf("kept"));
}

}  // namespace
}  // namespace vexil::objects::test
