// The date-text parser as a table: each text with the time value it gives, or failure. Texts
// without a zone are read in a zone five hours west of UTC (an offset of +300 minutes).
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "objects/date/date_parser.h"

namespace vexil::objects {
namespace {

constexpr double kMinute = 60000.0;
constexpr double kLocal = 300 * kMinute;
constexpr std::optional<double> kFails = std::nullopt;

// Midnight UTC of a few days, in milliseconds.
constexpr double kDec25_1995 = 819849600000.0;
constexpr double kJan5_1990 = 631497600000.0;
constexpr double kHour = 60 * kMinute;

struct Case {
  const char* text;
  std::optional<double> time;
};

const Case kCases[] = {
    // Zone offsets: "+" is east (negative), hours when small, else hhmm; after "gmt" one more is
    // allowed, and a small plain number extends the offset by minutes.
    {"Dec 25, 1995 13:30:00 GMT+0100", kDec25_1995 + 12.5 * kHour},
    {"Dec 25, 1995 13:30:00 GMT-0100", kDec25_1995 + 14.5 * kHour},
    {"Dec 25, 1995 13:30:00 +2", kDec25_1995 + 11.5 * kHour},
    {"Dec 25 1995 10:00 GMT+1 30", kDec25_1995 + 8.5 * kHour},
    {"Dec 25 1995 10:00 GMT-1 30", kDec25_1995 + 11.5 * kHour},
    {"Dec 25 1995 GMT-0500 +0100", kFails},
    {"Dec 25 1995 +0100 GMT", kDec25_1995},
    {"Wed Nov 05 21:49:11 GMT-0800 1997", 878795351000.0},
    // What Date's own text form writes reads back.
    {"Mon Dec 25 13:30:00 GMT+100 1995", kDec25_1995 + 12.5 * kHour},
    {"Mon Dec 25 08:30:00 GMT-500 1995", kDec25_1995 + 13.5 * kHour},
    {"Mon Dec 25 13:30:00 GMT+530 1995", kDec25_1995 + 8 * kHour},
    // Zone words, tried before months ("m" alone is "mdt").
    {"Dec 25 1995 EST", kDec25_1995 + 5 * kHour},
    {"Dec 25 1995 pdt", kDec25_1995 + 7 * kHour},
    {"Dec 25 1995 UT", kDec25_1995},
    {"Dec 25 1995 utc", kDec25_1995},
    {"Dec 25 1995 m", kDec25_1995 + 6 * kHour},
    // Slashes: month/day/year; two-digit years are of the 1900s, including small ones after "/".
    {"12/25/95", kDec25_1995 + kLocal},
    {"1/2/03", -2114294400000.0 + kLocal},
    {"12/25/1995 13:30", kDec25_1995 + 13.5 * kHour + kLocal},
    {"1995/12/25", kDec25_1995 + kLocal},
    {"2/30/1996", 825638400000.0 + kLocal},
    {"12/25/95/3", kFails},
    // Words and numbers in any order; week days are ignored, months are prefixes.
    {"25 Dec 1995", kDec25_1995 + kLocal},
    {"December 25, 95", kDec25_1995 + kLocal},
    {"dec 25 1995", kDec25_1995 + kLocal},
    {"Monday, DECEMBER 25, 1995", kDec25_1995 + kLocal},
    {"Dec 25 1995 12:30:45", kDec25_1995 + 12.5 * kHour + 45000 + kLocal},
    {"Dec 25 1995 12:30 45", kDec25_1995 + 12.5 * kHour + 45000 + kLocal},
    {"Dec Jan 25 1995", kFails},
    {"Dec 25 1995 1996", kFails},
    // am and pm.
    {"Jan 5 1990 3:00 pm", kJan5_1990 + 15 * kHour + kLocal},
    {"Jan 5 1990 12:30 am", kJan5_1990 + 0.5 * kHour + kLocal},
    {"Jan 5 1990 12:30 pm", kJan5_1990 + 12.5 * kHour + kLocal},
    {"Jan 5 1990 3:00 AM", kJan5_1990 + 3 * kHour + kLocal},
    {"Jan 5 1990 13:00 pm", kFails},
    {"Jan 5 1990 pm", kFails},
    {"Jan 5 1990 3 pm", kFails},  // a bare 3 after the day is a second day
    // Time components.
    {"Jan 5 1990 1:2:3", kJan5_1990 + kHour + 2 * kMinute + 3000 + kLocal},
    {"Jan 5 1990 1:2", kJan5_1990 + kHour + 2 * kMinute + kLocal},
    {"Jan 5 1990 10:20:30:40", kFails},
    // Comments nest; separators include commas, control characters and non-ASCII text.
    {"(a (nested) comment) Dec 25 1995", kDec25_1995 + kLocal},
    {"Dec 25 1995 (unclosed", kDec25_1995 + kLocal},
    {"Dec\t25,,1995\xe9", kDec25_1995 + kLocal},
    {"Dec 25 - 1995", kDec25_1995 + kLocal},
    // Incomplete or bad texts.
    {"", kFails},
    {"Dec 25", kFails},
    {"1995", kFails},
    {"Dec 25 1995 xyz", kFails},
    {"Dec 25 1995 #", kFails},
    {"Dec 25 1995 12.5", kFails},
    {"Dec 25 1995)", kFails},
    {"Dec 25x 1995", kFails},
    {"Dec 1995x 25", kFails},
    {"Dec 25 1995 99999999999999999999999999", kFails},  // a second year
    {"Dec 25 99999999999999999999999999", 0.0},           // parses; the caller finds it out of range
};

TEST(DateParser, TextsGiveTheirTimeValuesOrFail) {
  for (const Case& c : kCases) {
    std::u16string text;  // each byte of the table is one unit
    for (unsigned char b : std::string_view(c.text)) text.push_back(char16_t(b));
    std::optional<double> t = parseDateText(text, kLocal);
    if (c.time == kFails) {
      EXPECT_FALSE(t) << c.text << " gave " << *t;
    } else if (*c.time == 0.0) {
      ASSERT_TRUE(t) << c.text;
      EXPECT_GT(*t, 8.64e15) << c.text;
    } else {
      ASSERT_TRUE(t) << c.text;
      EXPECT_EQ(*t, *c.time) << c.text;
    }
  }
}

TEST(DateParser, LongAndHostileTextsEnd) {
  std::u16string text(200000, u'(');
  EXPECT_FALSE(parseDateText(text, 0));
  text.assign(200000, u'9');
  EXPECT_FALSE(parseDateText(text, 0));
  text.assign(100000, u'a');
  EXPECT_FALSE(parseDateText(text, 0));
  std::u16string many;
  for (int i = 0; i < 20000; ++i) many += u"+1 ";
  EXPECT_FALSE(parseDateText(many, 0));
}

}  // namespace
}  // namespace vexil::objects
