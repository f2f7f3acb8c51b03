#pragma once
// Tokens. A kind from 1 to 127 is a one-character token whose kind is the character's code; bytes
// 0x80-0xFF come out as negative kinds (the byte read as a signed 8-bit number), which no grammar
// rule accepts. The numbered kinds follow.
#include <cstdint>
#include <string_view>

#include "script/compiler/byte_string.h"

namespace vexil::script {

struct Engine;

// The reserved words in kind order, from 133; "undefined" is set apart at 192.
#define VEXIL_RESERVED_WORDS(X)                                                                     \
  X(Break, "break") X(Continue, "continue") X(Delete, "delete") X(Else, "else") X(For, "for")       \
  X(Function, "function") X(If, "if") X(In, "in") X(New, "new") X(Return, "return")                 \
  X(This, "this") X(Typeof, "typeof") X(Var, "var") X(Void, "void") X(While, "while")               \
  X(With, "with") X(Case, "case") X(Catch, "catch") X(Class, "class") X(Const, "const")             \
  X(Debugger, "debugger") X(Default, "default") X(Do, "do") X(Enum, "enum") X(Export, "export")     \
  X(Extends, "extends") X(Finally, "finally") X(Import, "import") X(Super, "super")                 \
  X(Switch, "switch") X(Throw, "throw") X(Try, "try") X(Null, "null") X(True, "true")               \
  X(False, "false")

// The multi-character operators in kind order, from 168.
#define VEXIL_OPERATORS(X)                                                                          \
  X(Equal, "==") X(NotEqual, "!=") X(LessEqual, "<=") X(GreaterEqual, ">=") X(And, "&&")            \
  X(Or, "||") X(Increment, "++") X(Decrement, "--") X(MulAssign, "*=") X(DivAssign, "/=")           \
  X(ModAssign, "%=") X(AddAssign, "+=") X(SubAssign, "-=") X(AndAssign, "&=") X(XorAssign, "^=")    \
  X(OrAssign, "|=") X(ShiftLeftAssign, "<<=") X(ShiftLeft, "<<") X(ShiftRight, ">>")                \
  X(ShiftRightUnsigned, ">>>") X(ShiftRightAssign, ">>=") X(ShiftRightUnsignedAssign, ">>>=")       \
  X(StrictEqual, "===") X(StrictNotEqual, "!==")

// A token kind is a plain number: the one-character kinds are the characters themselves.
using TokenKind = int32_t;

enum : TokenKind {
  kTokenEnd = 128,
  kTokenInteger = 129,
  kTokenFloat = 130,
  kTokenString = 131,
  kTokenIdentifier = 132,
  kTokenFirstWord = 133,
  kTokenBeforeWords = kTokenFirstWord - 1,
#define VEXIL_TOKEN_ENUM(name, text) kToken##name,
  VEXIL_RESERVED_WORDS(VEXIL_TOKEN_ENUM)
  kTokenFirstOperator,
  kTokenBeforeOperators = kTokenFirstOperator - 1,
  VEXIL_OPERATORS(VEXIL_TOKEN_ENUM)
#undef VEXIL_TOKEN_ENUM
  kTokenUndefined = 192,
};

static_assert(kTokenFalse == 167 && kTokenStrictNotEqual == 191, "token kinds are fixed numbers");

inline constexpr std::string_view kUndefinedWord = "undefined";
inline constexpr int kReservedWordCount = 36;  // with "undefined"

// Engine-heap blocks are only pointer-aligned (4 bytes on 32-bit targets, where a double would
// want 8), so the 8-byte numbers of tokens and nodes are declared with pointer alignment.
typedef int64_t HeapInt64 __attribute__((aligned(alignof(void*))));
typedef double HeapDouble __attribute__((aligned(alignof(void*))));

// The value of a token: an integer literal, a floating literal, or the bytes of a string literal
// or an identifier.
union TokenValue {
  HeapInt64 integer;
  HeapDouble number;
  const ByteString* string;
};

struct Token {
  TokenKind kind;
  int32_t line;  // the line its first character stood on; for the end of input, the last line
  TokenValue value;
};

static_assert(alignof(Token) <= alignof(void*), "tokens live in the engine heap");

// The spelling of a kind for printing: the word or operator, the character of a one-character
// token, or a name for the literal kinds ("end of input", "integer", …).
std::string_view tokenText(TokenKind kind);
// The spelling of a reserved word or operator, or empty for any other kind.
std::string_view fixedTokenText(TokenKind kind);

}  // namespace vexil::script
