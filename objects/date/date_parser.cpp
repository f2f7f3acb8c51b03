#include "objects/date/date_parser.h"

#include <cstdint>

#include "objects/date/date_time.h"

namespace vexil::objects {

namespace {

// Words in the order they are tried; a word matches when it is a prefix of the keyword, so the
// first of several candidates wins ("m" is "mdt", "ju" is "june").
enum class WordKind { Zone, Month, WeekDay, Am, Pm };

struct Keyword {
  const char* text;
  WordKind kind;
  int value;  // zone: minutes west of UTC; month: 0-based
};

constexpr Keyword kKeywords[] = {
    {"pdt", WordKind::Zone, 420},     {"pst", WordKind::Zone, 480},     {"mdt", WordKind::Zone, 360},
    {"mst", WordKind::Zone, 420},     {"cdt", WordKind::Zone, 300},     {"cst", WordKind::Zone, 360},
    {"edt", WordKind::Zone, 240},     {"est", WordKind::Zone, 300},     {"utc", WordKind::Zone, 0},
    {"ut", WordKind::Zone, 0},        {"gmt", WordKind::Zone, 0},       {"december", WordKind::Month, 11},
    {"november", WordKind::Month, 10}, {"october", WordKind::Month, 9},  {"september", WordKind::Month, 8},
    {"august", WordKind::Month, 7},   {"july", WordKind::Month, 6},     {"june", WordKind::Month, 5},
    {"may", WordKind::Month, 4},      {"april", WordKind::Month, 3},    {"march", WordKind::Month, 2},
    {"february", WordKind::Month, 1}, {"january", WordKind::Month, 0},  {"sunday", WordKind::WeekDay, 0},
    {"saturday", WordKind::WeekDay, 0}, {"friday", WordKind::WeekDay, 0}, {"thursday", WordKind::WeekDay, 0},
    {"wednesday", WordKind::WeekDay, 0}, {"tuesday", WordKind::WeekDay, 0}, {"monday", WordKind::WeekDay, 0},
    {"pm", WordKind::Pm, 0},          {"am", WordKind::Am, 0},
};

// Digit runs longer than this stop growing; such numbers make no valid date anyway.
constexpr int64_t kNumberCeiling = 1000000000000LL;

bool isDigit(char16_t c) { return c >= '0' && c <= '9'; }
bool isLetter(char16_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char16_t lower(char16_t c) { return c >= 'A' && c <= 'Z' ? char16_t(c + 32) : c; }
bool isBlank(char16_t c) { return c <= ' ' || c == ',' || c >= 128; }

class DateTextParser {
 public:
  explicit DateTextParser(std::u16string_view text) : text_(text) {}

  std::optional<double> run(double localOffset);

 private:
  bool atEnd() const { return at_ >= text_.size(); }
  char16_t peek(size_t ahead = 0) const { return at_ + ahead < text_.size() ? text_[at_ + ahead] : 0; }
  // A character after a number that ends it as a plain separator would.
  bool endsNumber(char16_t c) const { return isBlank(c) || c == '-' || c == '('; }

  void skipComment();
  bool number();
  bool placeNumber(int64_t n, char16_t follower, bool followerAtEnd);
  bool year(int64_t n, char16_t follower, bool followerAtEnd);
  bool zoneNumber(int64_t n);
  bool plainNumber(int64_t n);
  bool word();
  bool applyWord(const Keyword& keyword);

  std::u16string_view text_;
  size_t at_ = 0;
  char16_t previous_ = 0;  // the last of "+", "-", "/" and ":" seen since the last number or word
  std::optional<int64_t> year_, month_, day_, hour_, minute_, second_;
  std::optional<int64_t> offset_;  // minutes west of UTC
};

void DateTextParser::skipComment() {
  int depth = 1;
  for (++at_; !atEnd() && depth > 0; ++at_) {
    if (text_[at_] == '(') ++depth;
    if (text_[at_] == ')') --depth;
  }
}

bool DateTextParser::number() {
  int64_t n = 0;
  while (!atEnd() && isDigit(peek())) {
    if (n < kNumberCeiling) n = n * 10 + (peek() - '0');
    ++at_;
  }
  bool ok = placeNumber(n, peek(), atEnd());
  previous_ = 0;
  return ok;
}

bool DateTextParser::placeNumber(int64_t n, char16_t follower, bool followerAtEnd) {
  if (previous_ == '+' || previous_ == '-') return zoneNumber(n);
  if (n >= 70) return year(n, follower, followerAtEnd);
  if (previous_ == '/' && month_ && day_ && !year_) return year(n, follower, followerAtEnd);
  if (follower == ':') {
    if (!hour_) {
      hour_ = n;
    } else if (!minute_) {
      minute_ = n;
    } else {
      return false;
    }
    return true;
  }
  if (follower == '/') {
    if (!month_) {
      month_ = n - 1;
    } else if (!day_) {
      day_ = n;
    } else {
      return false;
    }
    return true;
  }
  if (!followerAtEnd && !endsNumber(follower)) return false;
  return plainNumber(n);
}

bool DateTextParser::year(int64_t n, char16_t follower, bool followerAtEnd) {
  if (year_) return false;
  if (!followerAtEnd && !isBlank(follower) && follower != '/' && follower != '-' && follower != '(') {
    return false;
  }
  year_ = n < 100 ? 1900 + n : n;
  return true;
}

// After "+" or "-": hours when small, else hhmm. "+" is east of UTC, a negative offset. A zone
// word such as "gmt" may come first ("GMT+0100"); any other earlier offset makes the text bad.
bool DateTextParser::zoneNumber(int64_t n) {
  int64_t minutes = n <= 23 ? n * 60 : n % 100 + n / 100 * 60;
  if (offset_ && *offset_ != 0) return false;
  offset_ = previous_ == '+' ? -minutes : minutes;
  return true;
}

// A number followed by a separator: minutes of a zone offset ("GMT+1 30"), else the next free
// time component after an hour, else the day.
bool DateTextParser::plainNumber(int64_t n) {
  if (offset_ && n < 60) {
    offset_ = *offset_ < 0 ? *offset_ - n : *offset_ + n;
  } else if (hour_ && !minute_) {
    minute_ = n;
  } else if (hour_ && !second_) {
    second_ = n;
  } else if (minute_ && !second_) {
    second_ = n;
  } else if (!day_) {
    day_ = n;
  } else {
    return false;
  }
  return true;
}

bool DateTextParser::word() {
  size_t start = at_;
  while (!atEnd() && isLetter(peek())) ++at_;
  std::u16string_view w = text_.substr(start, at_ - start);
  previous_ = 0;
  for (const Keyword& keyword : kKeywords) {
    std::string_view k = keyword.text;
    if (w.size() > k.size()) continue;
    size_t i = 0;
    while (i < w.size() && lower(w[i]) == char16_t(k[i])) ++i;
    if (i == w.size()) return applyWord(keyword);
  }
  return false;
}

bool DateTextParser::applyWord(const Keyword& keyword) {
  switch (keyword.kind) {
    case WordKind::Zone:
      offset_ = keyword.value;
      return true;
    case WordKind::Month:
      if (month_) return false;
      month_ = keyword.value;
      return true;
    case WordKind::WeekDay:
      return true;
    case WordKind::Am:
      if (!hour_ || *hour_ > 12) return false;
      if (*hour_ == 12) hour_ = 0;
      return true;
    case WordKind::Pm:
      if (!hour_ || *hour_ > 12) return false;
      if (*hour_ != 12) *hour_ += 12;
      return true;
  }
  return false;
}

std::optional<double> DateTextParser::run(double localOffset) {
  while (!atEnd()) {
    char16_t c = peek();
    if (c == '-' && isDigit(peek(1))) {
      previous_ = c;
      ++at_;
    } else if (isBlank(c) || c == '-') {
      ++at_;
    } else if (c == '(') {
      skipComment();
    } else if (c == '+' || c == '/' || c == ':') {
      previous_ = c;
      ++at_;
    } else if (isDigit(c)) {
      if (!number()) return std::nullopt;
    } else if (isLetter(c)) {
      if (!word()) return std::nullopt;
    } else {
      return std::nullopt;
    }
  }
  if (!year_ || !month_ || !day_) return std::nullopt;
  CalendarFields f;
  f.year = double(*year_);
  f.month = double(*month_);
  f.day = double(*day_);
  f.hours = double(hour_.value_or(0));
  f.minutes = double(minute_.value_or(0));
  f.seconds = double(second_.value_or(0));
  f.milliseconds = 0;
  double t = composeTime(f);
  if (t != t) return std::nullopt;
  return t + (offset_ ? double(*offset_) * 60000.0 : localOffset);
}

}  // namespace

std::optional<double> parseDateText(std::u16string_view text, double localOffset) {
  return DateTextParser(text).run(localOffset);
}

}  // namespace vexil::objects
