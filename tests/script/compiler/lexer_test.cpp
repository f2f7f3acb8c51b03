#include <cstdio>
#include <string>
#include <vector>

#include "script/compiler/compile_messages.h"
#include "script/compiler/lexer.h"
#include "tests/script/compiler/compiler_fixture.h"

namespace vexil::script::test {
namespace {

std::string escaped(std::string_view bytes) {
  std::string out;
  for (unsigned char ch : bytes) {
    if (ch >= 32 && ch < 127 && ch != '\\') {
      out += char(ch);
    } else {
      char buffer[8];
      std::snprintf(buffer, sizeof buffer, "\\x%02X", ch);
      out += buffer;
    }
  }
  return out;
}

std::string render(const Token& token) {
  char buffer[64];
  switch (token.kind) {
    case kTokenEnd: return "$";
    case kTokenInteger: return "i:" + std::to_string(int64_t(token.value.integer));
    case kTokenFloat:
      std::snprintf(buffer, sizeof buffer, "f:%.17g", double(token.value.number));
      return buffer;
    case kTokenString: return "s:" + escaped(token.value.string->view());
    case kTokenIdentifier: return "id:" + std::string(token.value.string->view());
    default: break;
  }
  if (token.kind < 0) return "byte:" + std::to_string(token.kind);
  return std::string(tokenText(token.kind));
}

class LexerTest : public CompilerTest {
 protected:
  struct Lexed {
    std::string tokens;  // rendered, separated by spaces
    std::string lines;   // the line of each token, separated by spaces
    std::string diagnostics;
  };

  // Every token up to the end of input (or the error), after an optional regular-expression body.
  Lexed lex(std::string_view source, CompileOptions options = 0, bool regexpFirst = false) {
    ScriptStream stream(source);
    Compilation compilation(engine(), stream, options);
    compilation.keywords.fill();
    Lexed out;
    auto add = [&](const std::string& token, int32_t line) {
      if (!out.tokens.empty()) {
        out.tokens += ' ';
        out.lines += ' ';
      }
      out.tokens += token;
      out.lines += std::to_string(line);
    };
    try {
      if (regexpFirst) {
        RegExpBody body = readRegExpBody(compilation);
        add("re:" + escaped(body.pattern->view()) + "/" + std::to_string(body.flags), 0);
      }
      for (int i = 0; i < 10000; ++i) {
        Token* token = nextToken(compilation);
        add(render(*token), token->line);
        bool end = token->kind == kTokenEnd;
        releaseToken(compilation, token);
        if (end) break;
      }
    } catch (const CompileError&) {
    }
    out.diagnostics = std::string(compilation.diagnostics.text());
    return out;
  }
};

struct TokenCase {
  const char* source;
  const char* tokens;
};

TEST_F(LexerTest, ScansTokens) {
  const TokenCase cases[] = {
      {"", "$"},
      {"  \t\v\f\r\n ", "$"},
      {"abc _x $y a1 instanceof", "id:abc id:_x id:$y id:a1 id:instanceof $"},
      {"break continue delete else for function if in new return this typeof var void while with",
       "break continue delete else for function if in new return this typeof var void while with $"},
      {"case catch class const debugger default do enum export extends finally import super switch throw try",
       "case catch class const debugger default do enum export extends finally import super switch throw try $"},
      {"null true false undefined", "null true false undefined $"},
      // Operators, longest form first.
      {"= == === ! != !== < <= << <<= > >= >> >>= >>> >>>=", "= == === ! != !== < <= << <<= > >= >> >>= >>> >>>= $"},
      {"& && &= | || |= + ++ += - -- -= * *= / /= % %= ^ ^=", "& && &= | || |= + ++ += - -- -= * *= / /= % %= ^ ^= $"},
      {"a===b!==c>>>=d", "id:a === id:b !== id:c >>>= id:d $"},
      {"+++ ---", "++ + -- - $"},
      {"(){}[];,.?:~@`", "( ) { } [ ] ; , . ? : ~ @ ` $"},
      // Comments and "#!" lines.
      {"a /* x\n y */ b // c\n d #! e\n f", "id:a id:b id:d id:f $"},
      {"#!/usr/bin/vexil\nx", "id:x $"},
      {"# x #", "# id:x # $"},
      {"a /* never closed", "id:a $"},
      {"a /*/ b */ c", "id:a id:c $"},
      // Numbers.
      {"0 7 42 017 09 0x1F 0XfF 0x", "i:0 i:7 i:42 i:15 i:0 i:9 i:31 i:255 i:0 $"},
      {"9223372036854775807 9223372036854775808", "i:9223372036854775807 f:9.2233720368547758e+18 $"},
      {"99999999999999999999", "f:1e+20 $"},
      {"1.5 1. 1.e5 .5 0.25 0e3 1e2 1E+2 25e-1", "f:1.5 f:1 f:100000 f:0.5 f:0.25 f:0 f:100 f:100 f:2.5 $"},
      {".5.5 1.5.5", "f:0.5 f:0.5 f:1.5 f:0.5 $"},
      {"1e999 1e-999", "f:inf f:0 $"},
      {"0xFFFFFFFFFFFFFFFF 0x10000000000000000", "i:-1 i:0 $"},
      {"a.b .x", "id:a . id:b . id:x $"},
      // Character literals.
      {"#'a' #'\\n' #'\\'' #''' #'\\x41' #'\\101'", "i:97 i:10 i:39 i:39 i:65 i:65 $"},
      {"#'\xE9'", "i:-23 $"},
      // Bytes no class takes.
      {"\x80 \xFF", "byte:-128 byte:-1 $"},
  };
  for (const TokenCase& c : cases) {
    Lexed lexed = lex(c.source);
    EXPECT_EQ(lexed.tokens, c.tokens) << c.source;
    EXPECT_EQ(lexed.diagnostics, "") << c.source;
  }
}

TEST_F(LexerTest, ScansStringLiteralsWithEveryEscape) {
  const TokenCase cases[] = {
      {"\"\" ''", "s: s: $"},
      {"'it''s' \"say \\\"hi\\\"\"", "s:it s:s s:say \"hi\" $"},
      {"'\\a\\b\\f\\n\\r\\t\\v'", "s:\\x07\\x08\\x0C\\x0A\\x0D\\x09\\x0B $"},
      {"'\\\\\\?\\'\\\"'", "s:\\x5C?'\" $"},
      {"'\\x41\\x7a\\xFF'", "s:Az\\xFF $"},
      // \u keeps only its last two digits.
      {"'\\u0141\\uFF42\\u00e9'", "s:AB\\xE9 $"},
      // Octal: after a first 0 up to three more digits, else up to two; modulo 256.
      {"'\\101\\0101\\08\\7\\777\\0000'", "s:AA\\x008\\x07\\xFF\\x00 $"},
      {"'\\18'", "s:\\x018 $"},
      // A line break inside stays; after a backslash it is dropped.
      {"'a\nb' x", "s:a\\x0Ab id:x $"},
      {"'a\\\nb' x", "s:ab id:x $"},
      {"'a\\0b'", "s:a\\x00b $"},
      {"'\x80\xFF'", "s:\\x80\\xFF $"},
  };
  for (const TokenCase& c : cases) {
    Lexed lexed = lex(c.source);
    EXPECT_EQ(lexed.tokens, c.tokens) << c.source;
    EXPECT_EQ(lexed.diagnostics, "") << c.source;
  }
}

TEST_F(LexerTest, CountsLinesFromZero) {
  struct LineCase {
    const char* source;
    const char* lines;
  };
  const LineCase cases[] = {
      {"", "0"},
      {"a\nb\n\nc\n", "0 1 3 4"},
      {"a /* 1\n2\n */ b // x\nc", "0 2 3 3"},
      {"'x\ny\nz' w", "0 2 2"},
      {"'x\\\ny' w", "0 1 1"},
      {"#!x\na", "1 1"},
      {"a /* open\n\n", "0 2"},
  };
  for (const LineCase& c : cases) EXPECT_EQ(lex(c.source).lines, c.lines) << c.source;
}

struct MessageCase {
  const char* source;
  const char* diagnostics;
};

TEST_F(LexerTest, ReportsMalformedLiterals) {
  const MessageCase cases[] = {
      {"'abc", "error: line 0: unterminated string constant\r\n"},
      {"x\n\"abc\n\ndef", "error: line 1: unterminated string constant\r\n"},
      {"'abc\\", "error: line 0: unterminated string constant\r\n"},
      {"'\\x4", "error: line 0: unterminated string constant\r\n"},
      {"#'\\", "error: line 0: unterminated character constant\r\n"},
      {"\n'\\x4g'", "error: line 1: illegal character '\\x4g'\r\n"},
      {"'\\xg1'", "error: line 0: illegal character '\\xg1'\r\n"},
      {"'\\u12g4'", "error: line 0: illegal unicode character '\\u12g4'\r\n"},
      {"'\\uZ000'", "error: line 0: illegal unicode character '\\uZ000'\r\n"},
      {"#'ab'", "error: line 0: illegal character\r\n"},
      {"#'", "error: line 0: illegal character\r\n"},
      {"a\n\n1e", "error: line 2: invalid exponent part in a decimal literal\r\n"},
      {"1e+;", "error: line 0: invalid exponent part in a decimal literal\r\n"},
      {"2.5Ex", "error: line 0: invalid exponent part in a decimal literal\r\n"},
      {"'\\q\\%'", "warning: line 0: unknown escape sequence '\\q'\r\n"
                   "warning: line 0: unknown escape sequence '\\%'\r\n"},
  };
  for (const MessageCase& c : cases) EXPECT_EQ(lex(c.source).diagnostics, c.diagnostics) << c.source;
}

TEST_F(LexerTest, AnUnknownEscapeStandsForItsByte) {
  EXPECT_EQ(lex("'\\q'").tokens, "s:q $");
}

// With the strict option a literal holding line breaks is warned about once.
TEST_F(LexerTest, StrictLineTerminatorsWarnOncePerLiteral) {
  Lexed lexed = lex("'a\nb\nc' 'd\ne'", kOptionStrictLineTerminators);
  EXPECT_EQ(lexed.tokens, "s:a\\x0Ab\\x0Ac s:d\\x0Ae $");
  EXPECT_EQ(lexed.diagnostics,
            "warning: line 0: ECMAScript don't allow line terminators in string constants\r\n"
            "warning: line 2: ECMAScript don't allow line terminators in string constants\r\n");
  EXPECT_EQ(lex("'a\\\nb'", kOptionStrictLineTerminators).diagnostics, "");
}

TEST_F(LexerTest, ReadsRegularExpressionBodiesAndFlags) {
  const TokenCase cases[] = {
      {"abc/ x", "re:abc/0 id:x $"},
      {"a+b/gim.x", "re:a+b/7 . id:x $"},
      {"a/gg", "re:a/1 $"},
      {"a/mix", "re:a/6 id:x $"},
      {"\\d+\\.\\s/", "re:\\x5Cd+\\x5C.\\x5Cs/0 $"},
      {"\\f\\n\\r\\t\\v/", "re:\\x0C\\x0A\\x0D\\x09\\x0B/0 $"},
      {"\\x41\\u0142\\0101/", "re:ABA/0 $"},
      {"\\cJ/", "re:\\x5CcJ/0 $"},
      {"\\1\\\\/", "re:\\x5C1\\x5C\\x5C/0 $"},
      {"a\\\nb/", "re:ab/0 $"},
      {"a\nb/ c", "re:a\\x0Ab/0 id:c $"},
      // The backslash is kept and the "/" read again, which ends the literal.
      {"a\\/b/", "re:a\\x5C/0 id:b / $"},
  };
  for (const TokenCase& c : cases) {
    Lexed lexed = lex(c.source, 0, true);
    EXPECT_EQ(lexed.tokens, c.tokens) << c.source;
    EXPECT_EQ(lexed.diagnostics, "") << c.source;
  }
  EXPECT_EQ(lex("a\nb/ c", 0, true).lines, "0 1 1");
}

TEST_F(LexerTest, ReportsUnterminatedRegularExpressions) {
  const MessageCase cases[] = {
      {"abc", "error: line 0: unterminated regular expression constant\r\n"},
      {"a\nbc\\", "error: line 0: unterminated regular expression constant\r\n"},
      {"ab\\c", "error: line 0: unterminated regular expression constant\r\n"},
      {"\\x4", "error: line 0: unterminated regular expression constant\r\n"},
      {"\\u004/", "error: line 0: illegal unicode character '\\u004/'\r\n"},
  };
  for (const MessageCase& c : cases) EXPECT_EQ(lex(c.source, 0, true).diagnostics, c.diagnostics) << c.source;
}

// After the end of input every request answers the end again, even when the source has bytes
// after a NUL.
TEST_F(LexerTest, TheEndOfInputIsFinal) {
  EXPECT_EQ(lex(std::string_view("a\0b", 3)).tokens, "id:a $");
  ScriptStream stream("x");
  Compilation compilation(engine(), stream, 0);
  compilation.keywords.fill();
  releaseToken(compilation, nextToken(compilation));
  for (int i = 0; i < 3; ++i) {
    Token* token = nextToken(compilation);
    EXPECT_EQ(token->kind, kTokenEnd);
    releaseToken(compilation, token);
  }
}

}  // namespace
}  // namespace vexil::script::test
