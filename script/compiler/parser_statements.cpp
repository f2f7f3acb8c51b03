// Statements.
#include "script/compiler/compile_messages.h"
#include "script/compiler/parser_internal.h"

namespace vexil::script {

// Tried in order: block, function, var, if, loops, an expression (or a label), then the
// statements told apart by their first token. Null when none begins here.
Node* Parser::parseStatement() {
  NestingGuard guard(*this);
  switch (peekKind()) {
    case '{': return parseBlock();
    case kTokenFunction: return parseFunctionStatement();
    case kTokenVar: return parseVar();
    case kTokenIf: return parseIf();
    case kTokenDo: return parseDoWhile();
    case kTokenWhile: return parseWhile();
    case kTokenFor: return parseFor();
    default: break;
  }
  if (Node* statement = parseExpressionStatement()) return statement;
  switch (peekKind()) {
    case ';': return emptyItem(take().line);
    case kTokenContinue: return parseJump(NodeKind::ContinueStatement);
    case kTokenBreak: return parseJump(NodeKind::BreakStatement);
    case kTokenReturn: return parseReturn();
    case kTokenSwitch: return parseSwitch();
    case kTokenWith: return parseWith();
    case kTokenTry: return parseTry();
    case kTokenThrow: return parseThrow();
    default: return nullptr;
  }
}

Node* Parser::requireStatement(const char* message) {
  Node* statement = parseStatement();
  if (!statement) syntaxError(message);
  return statement;
}

// Statements one after another until one cannot be parsed, then the closing brace. An empty
// block is an empty Item.
Node* Parser::parseBlock() {
  const int32_t line = take().line;
  NodeList statements;
  while (Node* statement = parseStatement()) statements.append(statement);
  expect(TokenKind('}'), kMissingBraceAfterBlock);
  if (!statements.head) return emptyItem(line);
  auto* block = node<BlockNode>(NodeKind::Block, line);
  block->statements = statements.head;
  return block;
}

void Parser::parseDeclarators(DeclaratorNode*& head, uint32_t& count) {
  if (peekKind() != kTokenIdentifier) syntaxError(kMissingVariableName);
  NodeList list;
  for (;;) {
    Token name = take();
    auto* declarator = node<DeclaratorNode>(NodeKind::Declarator, name.line);
    declarator->name = name.value.string;
    if (accept(TokenKind('='))) {
      declarator->initial = parseAssignment();
      if (!declarator->initial) syntaxError(kInvalidVariableInitialization);
    }
    list.append(declarator);
    if (!accept(TokenKind(','))) break;
    if (peekKind() != kTokenIdentifier) syntaxError(kIllegalIdentifier);
  }
  head = static_cast<DeclaratorNode*>(list.head);
  count = list.count;
}

Node* Parser::parseVar() {
  auto* var = node<VarNode>(NodeKind::VarStatement, take().line);
  parseDeclarators(var->declarations, var->count);
  semicolon();
  return var;
}

// "(" expression ")" of if, while and do-while.
Node* Parser::parseCondition() {
  expect(TokenKind('('), kMissingParenBeforeCondition);
  Node* condition = parseExpression();
  if (!condition) syntaxError(kInvalidCondition);
  expect(TokenKind(')'), kMissingParenAfterCondition);
  return condition;
}

Node* Parser::parseIf() {
  auto* statement = node<IfNode>(NodeKind::If, take().line);
  statement->condition = parseCondition();
  statement->thenStatement = requireStatement(kInvalidStatement);
  if (accept(kTokenElse)) statement->elseStatement = requireStatement(kInvalidStatement);
  return statement;
}

Node* Parser::parseWhile() {
  auto* loop = node<LoopNode>(NodeKind::While, take().line);
  loop->condition = parseCondition();
  loop->body = requireStatement(kInvalidStatement);
  return loop;
}

Node* Parser::parseDoWhile() {
  auto* loop = node<LoopNode>(NodeKind::DoWhile, take().line);
  loop->body = requireStatement(kInvalidStatement);
  if (!accept(kTokenWhile)) syntaxError(kMissingWhileAfterDo);
  loop->condition = parseCondition();
  semicolon();
  return loop;
}

// for ( [var declarators | expression] ; [condition] ; [step] ) statement
// for ( var name [= value] in object ) statement, for ( name in object ) statement
Node* Parser::parseFor() {
  const Token keyword = take();
  expect(TokenKind('('), kMissingParenAfterFor);
  DeclaratorNode* declarations = nullptr;
  uint32_t count = 0;
  Node* init = nullptr;
  if (accept(kTokenVar)) {
    parseDeclarators(declarations, count);
  } else if (peekKind() != ';') {
    init = parseExpression();
    if (!init) syntaxError(kInvalidForInitializer);
  }
  if (accept(kTokenIn)) return finishForIn(keyword, declarations, count, init);
  if (!accept(TokenKind(';'))) syntaxError(kMissingSemicolonAfterForInitializer);
  auto* loop = node<ForNode>(NodeKind::For, keyword.line);
  loop->declarations = declarations;
  loop->declarationCount = count;
  loop->init = init;
  if (peekKind() != ';') {
    loop->condition = parseExpression();
    if (!loop->condition) syntaxError(kInvalidForCondition);
  }
  expect(TokenKind(';'), kMissingSemicolonAfterForCondition);
  if (peekKind() != ')') {
    loop->step = parseExpression();
    if (!loop->step) syntaxError(kInvalidForControl);
  }
  expect(TokenKind(')'), kMissingParenAfterForControl);
  loop->body = requireStatement(kInvalidStatement);
  return loop;
}

Node* Parser::finishForIn(const Token& keyword, DeclaratorNode* declarations, uint32_t count, Node* init) {
  if (declarations && count != 1) syntaxError(kMoreThanOneVariable);
  if (!declarations && (!init || init->kind != NodeKind::Identifier)) syntaxError(kIllegalIdentifier);
  auto* loop = node<ForInNode>(NodeKind::ForIn, keyword.line);
  loop->declaration = declarations;
  loop->target = init;
  loop->object = parseExpression();
  if (!loop->object) syntaxError(kInvalidExpression);
  expect(TokenKind(')'), kMissingParenAfterForControl);
  loop->body = requireStatement(kInvalidStatement);
  return loop;
}

// An expression statement, or a label: a lone identifier with ":" on the same line.
Node* Parser::parseExpressionStatement() {
  const int32_t line = peek().line;
  Node* expression = parseExpression();
  if (!expression) return nullptr;
  if (expression->kind == NodeKind::Identifier && peekKind() == ':' && nextOnSameLine()) {
    take();
    auto* labelled = node<LabelledNode>(NodeKind::Labelled, line);
    labelled->label = static_cast<IdentifierNode*>(expression)->name;
    labelled->statement = requireStatement(kInvalidLabel);
    return labelled;
  }
  auto* statement = node<ExpressionStatementNode>(NodeKind::ExpressionStatement, line);
  statement->expression = expression;
  semicolon();
  return statement;
}

// continue and break take a label only from their own line.
Node* Parser::parseJump(NodeKind kind) {
  auto* jump = node<JumpNode>(kind, take().line);
  if (peekKind() == kTokenIdentifier && nextOnSameLine()) jump->label = take().value.string;
  semicolon();
  return jump;
}

// A value must begin on the line of the return; "}" or the end of input right after it end the
// statement without one, as a line break does.
Node* Parser::parseReturn() {
  auto* statement = node<ValueStatementNode>(NodeKind::ReturnStatement, take().line);
  if (accept(TokenKind(';'))) return statement;
  TokenKind next = peekKind();
  if (next == '}' || next == kTokenEnd || !nextOnSameLine()) {
    insertSemicolon();
    return statement;
  }
  statement->value = parseExpression();
  if (!statement->value) syntaxError(kInvalidReturn);
  semicolon();
  return statement;
}

Node* Parser::parseThrow() {
  auto* statement = node<ValueStatementNode>(NodeKind::ThrowStatement, take().line);
  statement->value = parseExpression();
  if (!statement->value) syntaxError(kInvalidThrow);
  semicolon();
  return statement;
}

Node* Parser::parseStatementsUntilCaseOrBrace() {
  NodeList statements;
  for (;;) {
    TokenKind next = peekKind();
    if (next == kTokenCase || next == kTokenDefault || next == '}') return statements.head;
    statements.append(requireStatement(kInvalidStatement));
  }
}

// Two defaults are found only when the closing brace is reached.
Node* Parser::parseSwitch() {
  auto* statement = node<SwitchNode>(NodeKind::Switch, take().line);
  expect(TokenKind('('), kMissingParenBeforeSwitch);
  statement->discriminant = parseExpression();
  if (!statement->discriminant) syntaxError(kInvalidSwitchExpression);
  expect(TokenKind(')'), kMissingParenAfterSwitch);
  expect(TokenKind('{'), kMissingBraceBeforeSwitchBody);
  NodeList clauses;
  int defaults = 0;
  while (!accept(TokenKind('}'))) {
    TokenKind next = peekKind();
    if (next != kTokenCase && next != kTokenDefault) syntaxError(kMissingBraceAfterSwitchBlock);
    auto* clause = node<ClauseItem>(NodeKind::Item, take().line);
    clause->role = ItemRole::Clause;
    if (next == kTokenCase) {
      clause->test = parseExpression();
      if (!clause->test) syntaxError(kInvalidCaseExpression);
    } else {
      ++defaults;
    }
    expect(TokenKind(':'), kMissingColonAfterCase);
    clause->statements = parseStatementsUntilCaseOrBrace();
    clauses.append(clause);
  }
  statement->clauses = static_cast<ClauseItem*>(clauses.head);
  statement->closeLine = state_.lastLine;
  if (defaults > 1) plainError(kMoreThanOneDefault);
  return statement;
}

Node* Parser::parseWith() {
  auto* statement = node<WithNode>(NodeKind::With, take().line);
  expect(TokenKind('('), kMissingParenBeforeWith);
  statement->object = parseExpression();
  if (!statement->object) syntaxError(kInvalidWithObject);
  expect(TokenKind(')'), kMissingParenAfterWith);
  statement->body = requireStatement(kInvalidWithBlock);
  return statement;
}

// catch ( name [if guard] ) statement
CatchItem* Parser::parseCatch() {
  auto* clause = node<CatchItem>(NodeKind::Item, take().line);
  clause->role = ItemRole::Catch;
  expect(TokenKind('('), kMissingParenBeforeCatch);
  if (peekKind() != kTokenIdentifier) syntaxError(kMissingCatchIdentifier);
  clause->name = take().value.string;
  if (accept(kTokenIf)) {
    clause->guard = parseExpression();
    if (!clause->guard) syntaxError(kInvalidStatement);
  }
  expect(TokenKind(')'), kMissingParenAfterCatch);
  clause->body = requireStatement(kInvalidStatement);
  return clause;
}

Node* Parser::parseTry() {
  auto* statement = node<TryNode>(NodeKind::Try, take().line);
  statement->tryLine = statement->line;
  statement->body = requireStatement(kInvalidStatement);
  NodeList catches;
  while (peekKind() == kTokenCatch) catches.append(parseCatch());
  statement->catches = static_cast<CatchItem*>(catches.head);
  if (accept(kTokenFinally)) statement->finallyStatement = requireStatement(kInvalidStatement);
  if (!catches.head && !statement->finallyStatement) syntaxError(kMissingCatchOrFinally);
  statement->endLine = state_.lastLine;
  return statement;
}

}  // namespace vexil::script
