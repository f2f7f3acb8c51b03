// The parser's core: the lookahead pair, the semicolon rule, errors, and the program rule.
#include "script/compiler/parser.h"

#include <string_view>

#include "script/compiler/compile_messages.h"
#include "script/compiler/lexer.h"
#include "script/compiler/parser_internal.h"

namespace vexil::script {

namespace {

constexpr std::string_view kArgumentsName = "arguments";

}  // namespace

void parseProgram(Compilation& compilation) { Parser(compilation).parseProgram(); }

Parser::Parser(Compilation& compilation)
    : c_(compilation), engine_(compilation.engine), state_(compilation.parser) {}

NestingGuard::NestingGuard(Parser& parser) : parser_(parser) {
  if (++parser_.state_.depth > kMaxNesting) {
    --parser_.state_.depth;
    parser_.syntaxError(kNestingTooDeep);
  }
}

// The lexer hands out heap tokens; the parser keeps copies and gives the blocks back at once.
Token Parser::fetch() {
  Token* fresh = nextToken(c_);
  Token token = *fresh;
  releaseToken(c_, fresh);
  return token;
}

const Token& Parser::peek() {
  if (!state_.hasLookahead) {
    state_.lookahead = fetch();
    state_.hasLookahead = true;
  }
  return state_.lookahead;
}

Token Parser::take() {
  Token token;
  if (state_.hasLookahead) {
    token = state_.lookahead;
    state_.hasLookahead = false;
  } else {
    token = fetch();
  }
  state_.lastLine = token.line;
  ++state_.tokenCount;
  if (token.kind == kTokenIdentifier && token.value.string->view() == kArgumentsName) ++state_.argumentsCount;
  return token;
}

bool Parser::accept(TokenKind kind) {
  if (peekKind() != kind) return false;
  take();
  return true;
}

void Parser::expect(TokenKind kind, const char* message) {
  if (!accept(kind)) syntaxError(message);
}

void Parser::syntaxError(const char* text) { c_.diagnostics.error(state_.lastLine, kSyntaxError, text); }

void Parser::plainError(const char* text) { c_.diagnostics.error(state_.lastLine, "%s", text); }

// A ";" is taken if present; before "}", the end of input or a token on a later line one is
// inserted; anything else on the same line is an error.
void Parser::semicolon() {
  const Token& next = peek();
  if (next.kind == ';') {
    take();
    return;
  }
  if (next.kind == '}' || next.kind == kTokenEnd || next.line > state_.lastLine) {
    insertSemicolon();
    return;
  }
  plainError(kMissingSemicolon);
}

void Parser::insertSemicolon() {
  ++state_.insertedSemicolons;
  if (c_.option(kOptionWarnMissingSemicolon)) c_.diagnostics.warning(state_.lastLine, "%s", kMissingSemicolon);
}

Node* Parser::emptyItem(int32_t line, ItemRole role) {
  auto* item = node<ItemNode>(NodeKind::Item, line);
  item->role = role;
  return item;
}

// Source elements up to the end: function definitions go to the function list only, statements
// to the main list.
void Parser::parseProgram() {
  while (peekKind() != kTokenEnd) {
    if (peekKind() == kTokenFunction) {
      parseFunction();
      continue;
    }
    Node* statement = parseStatement();
    if (!statement) syntaxError(kInvalidStatement);
    if (statement->kind == NodeKind::VarStatement) static_cast<VarNode*>(statement)->topLevel = true;
    state_.main.append(statement);
  }
}

}  // namespace vexil::script
