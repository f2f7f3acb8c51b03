#pragma once
// What the lexer's files share: building tokens and the literal scanners.
#include <cstdint>

#include "script/compiler/compilation.h"
#include "script/compiler/token.h"

namespace vexil::script {

// Takes the next byte if it is the one given.
inline bool acceptByte(ScriptStream& in, int byte) {
  int next = in.getByte();
  if (next == byte) return true;
  in.ungetByte(next);
  return false;
}

Token* makeToken(Compilation& compilation, TokenKind kind, int32_t line);
Token* makeIntegerToken(Compilation& compilation, int64_t value, int32_t line);

// Each is called with the literal's first byte already read.
Token* scanNumber(Compilation& compilation, int first, int32_t line);
Token* scanString(Compilation& compilation, int quote, int32_t line);
// After "#'".
Token* scanCharacter(Compilation& compilation, int32_t line);

}  // namespace vexil::script
