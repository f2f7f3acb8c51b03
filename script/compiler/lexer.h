#pragma once
// The lexer: bytes of the source stream in, tokens out. It works on 8-bit text; bytes of 128 and
// above belong to no character class. Malformed literals are reported to the compilation's
// diagnostics (an error ends the compilation); a stray byte is never an error here, it becomes a
// one-character token and the parser decides.
#include <cstdint>

#include "script/compiler/token.h"

namespace vexil::script {

struct Compilation;

// The next token, in a fresh engine-heap block; the caller releases it with releaseToken (or
// leaves it to the heap). After the end of input every call answers the end again.
Token* nextToken(Compilation& compilation);
void releaseToken(Compilation& compilation, Token* token);

// A regular-expression literal, read on the parser's request right after it took the opening "/":
// the pattern up to the closing "/", then a run of the flag letters g, i and m.
struct RegExpBody {
  const ByteString* pattern;
  uint32_t flags;
};
RegExpBody readRegExpBody(Compilation& compilation);

// Reads what follows a backslash in a string, character or regular-expression literal and answers
// the byte it stands for. `what` names the literal for "unterminated %s constant", reported at
// literalLine.
int decodeEscape(Compilation& compilation, const char* what, int32_t literalLine);

}  // namespace vexil::script
