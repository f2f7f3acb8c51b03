#include "script/compiler/keyword_table.h"

#include "script/runtime/string_hash.h"

namespace vexil::script {

namespace {

int bucketOf(std::string_view word) { return int(stringHash(word) & (kKeywordBucketCount - 1)); }

}  // namespace

void KeywordTable::fill() {
  for (TokenKind kind = kTokenFirstWord; kind <= kTokenFalse; kind = TokenKind(kind + 1)) add(fixedTokenText(kind), kind);
  add(kUndefinedWord, kTokenUndefined);
}

bool KeywordTable::add(std::string_view word, TokenKind kind) {
  if (lookup(word) != kTokenEnd || count_ == int(entries_.size())) return false;
  int bucket = bucketOf(word);
  entries_[count_] = Entry{word, kind, buckets_[bucket]};
  buckets_[bucket] = int16_t(count_++);
  return true;
}

TokenKind KeywordTable::lookup(std::string_view word) const {
  for (int i = buckets_[bucketOf(word)]; i >= 0; i = entries_[i].next) {
    if (entries_[i].word == word) return entries_[i].kind;
  }
  return kTokenEnd;
}

}  // namespace vexil::script
