#include "script/compiler/token.h"

namespace vexil::script {

namespace {

constexpr std::string_view kWordTexts[] = {
#define VEXIL_TOKEN_TEXT(name, text) text,
    VEXIL_RESERVED_WORDS(VEXIL_TOKEN_TEXT)};
constexpr std::string_view kOperatorTexts[] = {VEXIL_OPERATORS(VEXIL_TOKEN_TEXT)
#undef VEXIL_TOKEN_TEXT
};

// One character per one-character kind, so that each can be viewed on its own.
struct CharacterTexts {
  char chars[128];
  constexpr CharacterTexts() : chars() {
    for (int i = 0; i < 128; ++i) chars[i] = char(i);
  }
};
constexpr CharacterTexts kCharacters;

}  // namespace

std::string_view fixedTokenText(TokenKind kind) {
  if (kind >= kTokenFirstWord && kind <= kTokenFalse) return kWordTexts[kind - kTokenFirstWord];
  if (kind >= kTokenFirstOperator && kind <= kTokenStrictNotEqual) return kOperatorTexts[kind - kTokenFirstOperator];
  if (kind == kTokenUndefined) return kUndefinedWord;
  return {};
}

std::string_view tokenText(TokenKind kind) {
  switch (kind) {
    case kTokenEnd: return "end of input";
    case kTokenInteger: return "integer";
    case kTokenFloat: return "floating";
    case kTokenString: return "string";
    case kTokenIdentifier: return "identifier";
    default: break;
  }
  if (kind > 0 && kind < 128) return std::string_view(&kCharacters.chars[kind], 1);
  if (kind < 0) return "byte";
  return fixedTokenText(kind);
}

}  // namespace vexil::script
