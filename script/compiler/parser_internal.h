#pragma once
// The parser's rules, shared by its files: the token pair, the semicolon rule and the nesting
// guard here; statements, functions and expressions each in a file of their own.
#include <cstdint>

#include "script/compiler/compilation.h"
#include "script/compiler/syntax_tree.h"
#include "script/compiler/token.h"

namespace vexil::script {

// How many statements and expressions may nest inside one another. Each level costs a handful of
// C++ frames; this keeps the deepest parse well inside the smallest stack the compiler runs on.
inline constexpr uint32_t kMaxNesting = 400;

class Parser {
 public:
  explicit Parser(Compilation& compilation);

  void parseProgram();

  // Statements (parser_statements.cpp): each answers null when the next token starts none.
  Node* parseStatement();
  // Functions (parser_functions.cpp).
  FunctionNode* parseFunction();
  Node* parseFunctionStatement();
  // Expressions (parser_expressions.cpp), lowest precedence first.
  Node* parseExpression();
  Node* parseAssignment();

 private:
  friend class NestingGuard;

  // The lookahead pair.
  const Token& peek();
  TokenKind peekKind() { return peek().kind; }
  Token take();
  bool accept(TokenKind kind);
  void expect(TokenKind kind, const char* message);
  Token fetch();
  // Is the next token on the line of the last token taken?
  bool nextOnSameLine() { return peek().line == state_.lastLine; }

  // Errors at the line of the last token taken: "syntax error: <text>", or the text alone.
  [[noreturn]] void syntaxError(const char* text);
  [[noreturn]] void plainError(const char* text);
  void semicolon();
  void insertSemicolon();

  template <typename T>
  T* node(NodeKind kind, int32_t line) { return newNode<T>(engine_, kind, line); }
  Node* emptyItem(int32_t line, ItemRole role = ItemRole::Empty);

  // Statements.
  Node* parseBlock();
  Node* parseVar();
  void parseDeclarators(DeclaratorNode*& head, uint32_t& count);
  Node* parseIf();
  Node* parseWhile();
  Node* parseDoWhile();
  Node* parseFor();
  Node* finishForIn(const Token& keyword, DeclaratorNode* declarations, uint32_t count, Node* init);
  Node* parseExpressionStatement();
  Node* parseJump(NodeKind kind);
  Node* parseReturn();
  Node* parseThrow();
  Node* parseSwitch();
  Node* parseWith();
  Node* parseTry();
  CatchItem* parseCatch();
  Node* parseCondition();
  Node* requireStatement(const char* message);
  Node* parseStatementsUntilCaseOrBrace();

  // Functions.
  const ByteString* generatedName();
  void parseParameters(FunctionNode* function);
  BlockNode* parseFunctionBody(FunctionNode* function);

  // Expressions.
  Node* parseConditional();
  Node* parseBinary(int minLevel);
  Node* parseUnary();
  Node* parsePostfix();
  Node* parseCall();
  Node* parseMember();
  Node* parseSelections(Node* object, bool calls);
  Node* parsePrimary();
  Node* parseArrayLiteral();
  Node* parseObjectLiteral();
  Node* parseArguments(uint32_t& count);
  Node* requireAssignment();

  Compilation& c_;
  Engine& engine_;
  ParserState& state_;
};

// Counts one level of nesting for as long as a rule runs; too many is an error, not a crashed
// stack.
class NestingGuard {
 public:
  explicit NestingGuard(Parser& parser);
  ~NestingGuard() { --parser_.state_.depth; }
  NestingGuard(const NestingGuard&) = delete;
  NestingGuard& operator=(const NestingGuard&) = delete;

 private:
  Parser& parser_;
};

}  // namespace vexil::script
