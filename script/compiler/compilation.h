#pragma once
// One compile call: the source, the options, the diagnostics, and the state of the lexer and the
// parser. The code generator keeps its own state beside it. A Compilation is an ordinary C++ object
// (its stream buffers and stacks are released by its destructor); what it parses lives in the
// engine heap, which reclaims it once nothing refers to it any more.
#include <cstdint>
#include <string>
#include <vector>

#include "script/compiler/compile_options.h"
#include "script/compiler/diagnostics.h"
#include "script/compiler/keyword_table.h"
#include "script/compiler/script_stream.h"
#include "script/compiler/syntax_tree.h"
#include "script/compiler/token.h"

namespace vexil::script {

struct Engine;

struct LexerState {
  std::string scratch;  // the bytes of the word or literal being read
  bool ended = false;   // the end of input was reached: every later token is the end too
};

struct ParserState {
  bool hasLookahead = false;
  Token lookahead{};
  int32_t lastLine = 0;  // line of the last token taken; messages that name no token report it
  uint32_t tokenCount = 0;
  uint32_t insertedSemicolons = 0;
  uint32_t argumentsCount = 0;  // identifiers `arguments` taken so far
  uint32_t functionCounter = 0;  // for generated names
  NodeList functions;  // FunctionNodes in order of completion: inner ones first
  NodeList main;       // top-level statements in source order
  std::vector<const ByteString*> nesting;  // internal names of the functions being parsed
  uint32_t depth = 0;  // nested statements and expressions being parsed
};

struct Compilation {
  Compilation(Engine& engine, ScriptStream& source, CompileOptions options)
      : engine(engine), source(source), options(options) {}
  Compilation(const Compilation&) = delete;
  Compilation& operator=(const Compilation&) = delete;

  bool option(CompileOptions bit) const { return (options & bit) != 0; }

  Engine& engine;
  ScriptStream& source;
  CompileOptions options;
  Diagnostics diagnostics;
  KeywordTable keywords;
  LexerState lexer;
  ParserState parser;
};

}  // namespace vexil::script
