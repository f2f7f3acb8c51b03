#include <cmath>
#include <cstdlib>
#include <cstring>

#include "runtime_fixture.h"
#include "script/runtime/value.h"

namespace vexil::script::test {
namespace {

TEST(Value, TypeofTextsByTag) {
  struct Case {
    Tag tag;
    const char* text;
  };
  const Case cases[] = {
      {Tag::Undefined, "undefined"}, {Tag::Null, "object"},      {Tag::Boolean, "boolean"},
      {Tag::Integer, "number"},      {Tag::String, "string"},    {Tag::Real, "number"},
      {Tag::Array, "object"},        {Tag::Object, "object"},    {Tag(8), ""},
      {Tag(9), ""},                  {Tag::Name, ""},            {Tag::Native, "object"},
      {Tag::Function, "function"},   {Tag::NaN, "number"},       {Tag::FrameMark, ""},
      {Tag::FrameArgs, ""},          {Tag(-1), ""},              {Tag(99), ""},
  };
  for (const Case& c : cases) EXPECT_STREQ(typeofText(c.tag), c.text) << int(c.tag);
}

TEST(Value, TagCodesAreTheStoredOnes) {
  EXPECT_EQ(int(Tag::Name), 10);
  EXPECT_EQ(int(Tag::Native), 11);
  EXPECT_EQ(int(Tag::NaN), 13);
  EXPECT_EQ(int(Tag::FrameMark), 14);
  EXPECT_EQ(int(Tag::FrameArgs), 15);
}

TEST(Value, PayloadKeepsAllSixtyFourBits) {
  const int64_t big = -0x123456789ABCDEFLL;
  Value v = Value::fromInteger(big);
  EXPECT_EQ(v.integer(), big);
  EXPECT_EQ(v.lowWord(), uint32_t(uint64_t(big)));
  EXPECT_EQ(v.highWord(), uint32_t(uint64_t(big) >> 32));
  EXPECT_EQ(Value::fromReal(-0.0).real(), 0.0);
  EXPECT_TRUE(std::signbit(Value::fromReal(-0.0).real()));
  EXPECT_EQ(Value::fromBoolean(true).lowWord(), 1u);
  // A pointer payload leaves the high word zero on 32-bit targets.
  Value p;
  p.setPointer(Tag::Object, &p);
  EXPECT_EQ(p.pointer(), &p);
  if (sizeof(void*) == 4) {
    EXPECT_EQ(p.highWord(), 0u);
  }
}

TEST(Value, WordAlignedPayloadsReadSafely) {
  // Heap blocks are only word-aligned on 32-bit targets; values inside must still read correctly.
  alignas(8) unsigned char buffer[sizeof(Value) + alignof(void*)];
  auto* v = reinterpret_cast<Value*>(buffer + (alignof(Value) == 4 ? 4 : 0));
  *v = Value::fromReal(2.5);
  EXPECT_EQ(v->real(), 2.5);
}

using StringTest = RuntimeTest;

TEST_F(StringTest, FourWaysIn) {
  Value ansi = makeStringFromAnsi(engine(), "caf\xE9", 4);
  EXPECT_EQ(ansi.string()->view(), u"caf\u00E9");
  EXPECT_FALSE(ansi.string()->isStatic());

  static const char16_t kFixed[] = u"undefined";
  Value fixed = makeStaticString(engine(), kFixed);
  EXPECT_TRUE(fixed.string()->isStatic());
  EXPECT_EQ(fixed.string()->chars, kFixed);
  EXPECT_EQ(fixed.string()->length, 9u);

  Value copied = makeString(engine(), 3, u"abcdef");
  EXPECT_EQ(copied.string()->view(), u"abc");
  Value filled = makeString(engine(), 2);
  filled.string()->units()[0] = u'x';
  filled.string()->units()[1] = u'y';
  EXPECT_EQ(filled.string()->view(), u"xy");
  EXPECT_EQ(filled.string()->props, nullptr);
}

TEST_F(StringTest, EmptyStringsOwnNoUnits) {
  for (Value v : {makeStringFromAnsi(engine(), nullptr, 5), makeStringFromAnsi(engine(), "abc", 0),
                  makeString(engine(), 0, u"ignored")}) {
    EXPECT_EQ(v.string()->length, 0u);
    EXPECT_EQ(v.string()->chars, nullptr);
    EXPECT_EQ(v.string()->view(), u"");
  }
}

TEST_F(StringTest, UnitsAreNotTerminatedInMemory) {
  Value v = makeString(engine(), 4, u"abcd");
  // The block holds exactly the units (rounded up), with no room taken by a terminator.
  EXPECT_EQ(blockSize(v.string()->chars), 8u);
}

TEST_F(StringTest, ToAnsiTerminatesInABufferOfTwiceTheLengthPlusTwo) {
  Value v = makeString(engine(), u"A\u20AC\u0100");
  char* ansi = stringToAnsi(engine(), *v.string());
  EXPECT_STREQ(ansi, "A\x80?");
  std::free(ansi);
  Value empty = makeString(engine(), 0);
  ansi = stringToAnsi(engine(), *empty.string());
  EXPECT_STREQ(ansi, "");
  std::free(ansi);
}

TEST_F(StringTest, OrdinalComparisonIsUnsignedAndPrefixFirst) {
  struct Case {
    std::u16string_view a, b;
    int order;
  };
  const Case cases[] = {
      {u"", u"", 0},         {u"", u"a", -1},          {u"abc", u"abd", -1},
      {u"ab", u"abc", -1},   {u"b", u"abc", 1},        {u"a\uFFFF", u"a\u0100", 1},
      {u"Z", u"a", -1},      {u"\u00E9", u"e", 1},     {u"same", u"same", 0},
  };
  for (const Case& c : cases) {
    Value a = makeString(engine(), c.a), b = makeString(engine(), c.b);
    EXPECT_EQ(compareStrings(*a.string(), *b.string()), c.order);
    EXPECT_EQ(compareStrings(*b.string(), *a.string()), -c.order);
  }
}

TEST_F(StringTest, BuilderMakesOneHeapString) {
  StringBuilder builder;
  Value part = makeString(engine(), u"middle");
  builder.appendAnsi("start ").append(*part.string()).append(u' ').append(u"end");
  Value done = builder.finish(engine());
  EXPECT_EQ(done.string()->view(), u"start middle end");
  EXPECT_FALSE(done.string()->isStatic());
}

}  // namespace
}  // namespace vexil::script::test
