// Scanning one token: white space and comments, operators (longest first), words and reserved
// words, and the dispatch to the literal scanners.
#include "script/compiler/lexer.h"

#include "script/compiler/character_class.h"
#include "script/compiler/compilation.h"
#include "script/compiler/lexer_internal.h"
#include "script/runtime/heap.h"

namespace vexil::script {

namespace {

// Runs to the next newline, which is left for the main loop to count.
void skipLineComment(ScriptStream& in) {
  int byte;
  do byte = in.getByte();
  while (byte != '\n' && byte != 0);
  in.ungetByte(byte);
}

// Newlines inside are counted; a comment left open ends silently at the end of input.
void skipBlockComment(ScriptStream& in) {
  int previous = 0;
  for (;;) {
    int byte = in.getByte();
    if (byte == 0) {
      in.ungetByte(0);
      return;
    }
    if (byte == '\n') ++in.line;
    if (previous == '*' && byte == '/') return;
    previous = byte;
  }
}

// The operator that begins with `first`, longest form first.
TokenKind scanOperator(ScriptStream& in, int first) {
  switch (first) {
    case '=':
      if (acceptByte(in, '=')) return acceptByte(in, '=') ? kTokenStrictEqual : kTokenEqual;
      return TokenKind('=');
    case '!':
      if (acceptByte(in, '=')) return acceptByte(in, '=') ? kTokenStrictNotEqual : kTokenNotEqual;
      return TokenKind('!');
    case '<':
      if (acceptByte(in, '=')) return kTokenLessEqual;
      if (acceptByte(in, '<')) return acceptByte(in, '=') ? kTokenShiftLeftAssign : kTokenShiftLeft;
      return TokenKind('<');
    case '>':
      if (acceptByte(in, '=')) return kTokenGreaterEqual;
      if (!acceptByte(in, '>')) return TokenKind('>');
      if (acceptByte(in, '>')) return acceptByte(in, '=') ? kTokenShiftRightUnsignedAssign : kTokenShiftRightUnsigned;
      return acceptByte(in, '=') ? kTokenShiftRightAssign : kTokenShiftRight;
    case '&':
      if (acceptByte(in, '&')) return kTokenAnd;
      return acceptByte(in, '=') ? kTokenAndAssign : TokenKind('&');
    case '|':
      if (acceptByte(in, '|')) return kTokenOr;
      return acceptByte(in, '=') ? kTokenOrAssign : TokenKind('|');
    case '+':
      if (acceptByte(in, '+')) return kTokenIncrement;
      return acceptByte(in, '=') ? kTokenAddAssign : TokenKind('+');
    case '-':
      if (acceptByte(in, '-')) return kTokenDecrement;
      return acceptByte(in, '=') ? kTokenSubAssign : TokenKind('-');
    case '*': return acceptByte(in, '=') ? kTokenMulAssign : TokenKind('*');
    case '/': return acceptByte(in, '=') ? kTokenDivAssign : TokenKind('/');
    case '%': return acceptByte(in, '=') ? kTokenModAssign : TokenKind('%');
    case '^': return acceptByte(in, '=') ? kTokenXorAssign : TokenKind('^');
    default: return TokenKind(0);
  }
}

Token* scanWord(Compilation& c, int first, int32_t line) {
  ScriptStream& in = c.source;
  std::string& word = c.lexer.scratch;
  word.clear();
  int byte = first;
  do {
    word.push_back(char(byte));
    byte = in.getByte();
  } while (isWordPart(byte));
  in.ungetByte(byte);
  TokenKind kind = c.keywords.lookup(word);
  if (kind != kTokenEnd) return makeToken(c, kind, line);
  Token* token = makeToken(c, kTokenIdentifier, line);
  token->value.string = newByteString(c.engine, word);
  return token;
}

}  // namespace

Token* makeToken(Compilation& c, TokenKind kind, int32_t line) {
  auto* token = static_cast<Token*>(allocBlock(c.engine, sizeof(Token)));
  token->kind = kind;
  token->line = line;
  token->value.integer = 0;
  return token;
}

Token* makeIntegerToken(Compilation& c, int64_t value, int32_t line) {
  Token* token = makeToken(c, kTokenInteger, line);
  token->value.integer = value;
  return token;
}

void releaseToken(Compilation& c, Token* token) { freeBlock(c.engine, token); }

Token* nextToken(Compilation& c) {
  ScriptStream& in = c.source;
  if (c.lexer.ended) return makeToken(c, kTokenEnd, in.line);
  for (;;) {
    int byte = in.getByte();
    if (byte == 0) {
      c.lexer.ended = true;
      return makeToken(c, kTokenEnd, in.line);
    }
    if (byte == '\n') {
      ++in.line;
      continue;
    }
    if (isSpace(byte)) continue;
    int32_t line = in.line;
    switch (byte) {
      case '/':
        if (acceptByte(in, '*')) {
          skipBlockComment(in);
          continue;
        }
        if (acceptByte(in, '/')) {
          skipLineComment(in);
          continue;
        }
        break;
      case '#':
        if (acceptByte(in, '!')) {
          skipLineComment(in);
          continue;
        }
        if (acceptByte(in, '\'')) return scanCharacter(c, line);
        return makeToken(c, TokenKind('#'), line);
      case '"':
      case '\'':
        return scanString(c, byte, line);
      case '.':
        if (isDigit(in.peekByte())) return scanNumber(c, byte, line);
        return makeToken(c, TokenKind('.'), line);
      default:
        break;
    }
    if (TokenKind op = scanOperator(in, byte)) return makeToken(c, op, line);
    if (isWordStart(byte)) return scanWord(c, byte, line);
    if (isDigit(byte)) return scanNumber(c, byte, line);
    // Bytes of 0x80-0xFF become negative kinds, which no rule accepts.
    return makeToken(c, TokenKind(int8_t(byte)), line);
  }
}

}  // namespace vexil::script
