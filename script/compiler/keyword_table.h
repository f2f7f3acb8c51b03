#pragma once
// The reserved words: 32 buckets of chained entries, indexed by the low 5 bits of the word's
// StringHash. It is filled at the start of every compilation.
#include <array>
#include <cstdint>
#include <string_view>

#include "script/compiler/token.h"

namespace vexil::script {

inline constexpr int kKeywordBucketCount = 32;

class KeywordTable {
 public:
  // Adds the 36 reserved words; words already present are skipped.
  void fill();
  // Adds one word; false when it was already present (or the table is full).
  bool add(std::string_view word, TokenKind kind);
  // The word's kind, or kTokenEnd when the word is not reserved.
  TokenKind lookup(std::string_view word) const;

 private:
  struct Entry {
    std::string_view word;
    TokenKind kind;
    int16_t next;  // index of the next entry of the bucket, or -1
  };
  std::array<int16_t, kKeywordBucketCount> buckets_ = filledWith(-1);
  std::array<Entry, kReservedWordCount> entries_{};
  int count_ = 0;

  static constexpr std::array<int16_t, kKeywordBucketCount> filledWith(int16_t v) {
    std::array<int16_t, kKeywordBucketCount> a{};
    for (auto& x : a) x = v;
    return a;
  }
};

}  // namespace vexil::script
