// Literals: numbers, strings, character literals, escapes and regular-expression bodies.
#include <charconv>
#include <cmath>
#include <string>

#include "script/compiler/character_class.h"
#include "script/compiler/compile_messages.h"
#include "script/compiler/compilation.h"
#include "script/compiler/lexer.h"
#include "script/compiler/lexer_internal.h"

namespace vexil::script {

namespace {

constexpr uint64_t kLargestInteger = uint64_t(INT64_MAX);

// Digits of the given class accumulated in 64-bit arithmetic without an overflow check.
int64_t accumulate(ScriptStream& in, int byte, CharacterClass digits, unsigned base) {
  uint64_t value = 0;
  for (; hasClass(byte, digits); byte = in.getByte()) value = value * base + unsigned(hexValue(byte));
  in.ungetByte(byte);
  return int64_t(value);
}

// The text of a decimal literal as a double. Out of range means too large (infinity) or too small
// (zero); from_chars leaves the value alone then, so the two are told apart by the exponent's sign.
double decimalToDouble(const std::string& text) {
  double value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  (void)end;
  if (error == std::errc::result_out_of_range) {
    bool tiny = text.find("e-") != std::string::npos || text.find("E-") != std::string::npos;
    return tiny ? 0.0 : HUGE_VAL;
  }
  return value;
}

// Whole digits accumulated as a signed 64-bit integer, unless the value reaches 2^63.
bool decimalToInteger(const std::string& digits, int64_t& value) {
  uint64_t v = 0;
  for (char ch : digits) {
    unsigned d = unsigned(ch - '0');
    if (v > (kLargestInteger - d) / 10) return false;
    v = v * 10 + d;
  }
  value = int64_t(v);
  return true;
}

int collectDigits(ScriptStream& in, std::string& text, int byte) {
  for (; isDigit(byte); byte = in.getByte()) text.push_back(char(byte));
  return byte;
}

Token* scanDecimal(Compilation& c, int first, int afterFirst, int32_t line) {
  ScriptStream& in = c.source;
  std::string& text = c.lexer.scratch;
  text.assign(1, char(first));
  bool floating = first == '.';
  int byte = collectDigits(in, text, afterFirst);
  // A point after a literal that began with one is not taken: .5.5 is two numbers.
  if (!floating && byte == '.') {
    text.push_back('.');
    byte = collectDigits(in, text, in.getByte());
    floating = true;
  }
  if (byte == 'e' || byte == 'E') {
    text.push_back(char(byte));
    byte = in.getByte();
    if (byte == '+' || byte == '-') {
      text.push_back(char(byte));
      byte = in.getByte();
    }
    if (!isDigit(byte)) c.diagnostics.error(in.line, kInvalidExponent);
    byte = collectDigits(in, text, byte);
    floating = true;
  }
  in.ungetByte(byte);
  int64_t integer;
  if (!floating && decimalToInteger(text, integer)) return makeIntegerToken(c, integer, line);
  Token* token = makeToken(c, kTokenFloat, line);
  token->value.number = decimalToDouble(text);
  return token;
}

}  // namespace

Token* scanNumber(Compilation& c, int first, int32_t line) {
  ScriptStream& in = c.source;
  if (first != '0') return scanDecimal(c, first, in.getByte(), line);
  int next = in.getByte();
  if (next == 'x' || next == 'X') return makeIntegerToken(c, accumulate(in, in.getByte(), kClassHex, 16), line);
  if (next == '.' || next == 'e' || next == 'E') return scanDecimal(c, first, next, line);
  // Octal; an 8 or 9 after it starts the next token.
  return makeIntegerToken(c, accumulate(in, next, kClassOctal, 8), line);
}

int decodeEscape(Compilation& c, const char* what, int32_t literalLine) {
  ScriptStream& in = c.source;
  auto take = [&] {
    int byte = in.getByte();
    if (byte == 0) c.diagnostics.error(literalLine, kUnterminatedConstant, what);
    return byte;
  };
  int byte = take();
  switch (byte) {
    case 'a': return 7;
    case 'b': return 8;
    case 'f': return 12;
    case 'n': return 10;
    case 'r': return 13;
    case 't': return 9;
    case 'v': return 11;
    case '\\':
    case '?':
    case '\'':
    case '"':
      return byte;
    case 'x': {
      int high = take();
      int low = take();
      if (!isHexDigit(high) || !isHexDigit(low)) c.diagnostics.error(in.line, kIllegalHexCharacter, "\\x", high, low);
      return hexValue(high) * 16 + hexValue(low);
    }
    case 'u': {
      // Only the last two digits make the byte; the first two must be digits all the same.
      int d[4];
      for (int& digit : d) digit = take();
      for (int digit : d) {
        if (!isHexDigit(digit)) c.diagnostics.error(in.line, kIllegalUnicodeCharacter, "\\u", d[0], d[1], d[2], d[3]);
      }
      return hexValue(d[2]) * 16 + hexValue(d[3]);
    }
    default:
      break;
  }
  if (isOctalDigit(byte)) {
    int value = byte - '0';
    int more = byte == '0' ? 3 : 2;
    for (; more > 0; --more) {
      int next = in.getByte();
      if (!isOctalDigit(next)) {
        in.ungetByte(next);
        break;
      }
      value = value * 8 + (next - '0');
    }
    return value & 0xFF;
  }
  c.diagnostics.warning(in.line, kUnknownEscape, '\\', byte);
  if (byte == '\n') ++in.line;
  return byte;
}

Token* scanString(Compilation& c, int quote, int32_t line) {
  ScriptStream& in = c.source;
  std::string& bytes = c.lexer.scratch;
  bytes.clear();
  bool warned = false;
  for (;;) {
    int byte = in.getByte();
    if (byte == quote) break;
    switch (byte) {
      case 0:
        c.diagnostics.error(line, kUnterminatedConstant, kStringConstant);
      case '\n':
        if (c.option(kOptionStrictLineTerminators) && !warned) {
          c.diagnostics.warning(in.line, kLineTerminatorInConstant, kStringConstant);
          warned = true;
        }
        ++in.line;
        bytes.push_back('\n');
        break;
      case '\\':
        if (acceptByte(in, '\n')) {
          ++in.line;  // a line continuation: both bytes are dropped
          break;
        }
        bytes.push_back(char(decodeEscape(c, kStringConstant, line)));
        break;
      default:
        bytes.push_back(char(byte));
        break;
    }
  }
  Token* token = makeToken(c, kTokenString, line);
  token->value.string = newByteString(c.engine, bytes);
  return token;
}

Token* scanCharacter(Compilation& c, int32_t line) {
  ScriptStream& in = c.source;
  int byte = in.getByte();
  if (byte == 0) c.diagnostics.error(in.line, kIllegalCharacter);
  if (byte == '\\') {
    byte = decodeEscape(c, kCharacterConstant, line);
  } else if (byte == '\n') {
    ++in.line;
  }
  if (in.getByte() != '\'') c.diagnostics.error(in.line, kIllegalCharacter);
  return makeIntegerToken(c, int8_t(byte), line);
}

RegExpBody readRegExpBody(Compilation& c) {
  ScriptStream& in = c.source;
  const int32_t line = in.line;
  std::string& bytes = c.lexer.scratch;
  bytes.clear();
  for (;;) {
    int byte = in.getByte();
    if (byte == '/') break;
    if (byte == 0) c.diagnostics.error(line, kUnterminatedConstant, kRegExpConstant);
    if (byte == '\n') ++in.line;
    if (byte != '\\') {
      bytes.push_back(char(byte));
      continue;
    }
    int next = in.getByte();
    switch (next) {
      case '\n': ++in.line; break;  // a line continuation
      case 'f': bytes.push_back(12); break;
      case 'n': bytes.push_back(10); break;
      case 'r': bytes.push_back(13); break;
      case 't': bytes.push_back(9); break;
      case 'v': bytes.push_back(11); break;
      case '0':
      case 'u':
      case 'x':
        in.ungetByte(next);
        bytes.push_back(char(decodeEscape(c, kRegExpConstant, line)));
        break;
      case 'c': {
        bytes += "\\c";
        int control = in.getByte();
        if (control == 0) {
          in.ungetByte(0);  // read again above, as the end of input
          break;
        }
        if (control == '\n') ++in.line;
        bytes.push_back(char(control));
        break;
      }
      default:
        // The byte is read again as an ordinary one; a "/" read that way ends the literal.
        bytes.push_back('\\');
        in.ungetByte(next);
        break;
    }
  }
  uint32_t flags = 0;
  for (;;) {
    int byte = in.getByte();
    if (byte == 'g') flags |= kRegExpGlobal;
    else if (byte == 'i') flags |= kRegExpIgnoreCase;
    else if (byte == 'm') flags |= kRegExpMultiline;
    else {
      in.ungetByte(byte);
      break;
    }
  }
  return RegExpBody{newByteString(c.engine, bytes), flags};
}

}  // namespace vexil::script
