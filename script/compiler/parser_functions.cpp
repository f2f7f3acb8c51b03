// Function definitions: names, parameters, bodies, and where the finished function goes.
#include <cstdio>

#include "script/compiler/compile_messages.h"
#include "script/compiler/parser_internal.h"

namespace vexil::script {

// "@F_0", "@F_1", … in the order the functions begin.
const ByteString* Parser::generatedName() {
  char name[32];
  int length = std::snprintf(name, sizeof name, kGeneratedFunctionName, int(state_.functionCounter++));
  return newByteString(engine_, std::string_view(name, size_t(length)));
}

void Parser::parseParameters(FunctionNode* function) {
  expect(TokenKind('('), kMissingParenBeforeParameters);
  if (accept(TokenKind(')'))) return;
  NodeList parameters;
  for (;;) {
    if (peekKind() != kTokenIdentifier) syntaxError(kIllegalIdentifier);
    Token name = take();
    auto* parameter = node<IdentifierNode>(NodeKind::Identifier, name.line);
    parameter->name = name.value.string;
    parameters.append(parameter);
    if (accept(TokenKind(','))) continue;
    if (accept(TokenKind(')'))) break;
    syntaxError(kMissingParenAfterParameters);
  }
  function->parameters = static_cast<IdentifierNode*>(parameters.head);
  function->parameterCount = parameters.count;
}

// The body is always a Block, even an empty one. Whether it mentions `arguments` is whether the
// count of that identifier grew while it was read (an inner function's mention counts too).
BlockNode* Parser::parseFunctionBody(FunctionNode* function) {
  if (peekKind() != '{') syntaxError(kInvalidFunctionBody);
  const uint32_t argumentsBefore = state_.argumentsCount;
  auto* body = node<BlockNode>(NodeKind::Block, take().line);
  function->bodyLine = body->line;
  NodeList statements;
  while (Node* statement = parseStatement()) statements.append(statement);
  expect(TokenKind('}'), kMissingBraceAfterBlock);
  body->statements = statements.head;
  function->endLine = state_.lastLine;
  function->usesArguments = state_.argumentsCount != argumentsBefore;
  return body;
}

// function [name] ( parameters ) block. Top-level named functions keep their name as internal
// name; every other function gets a generated one. The function is on the nesting stack while its
// parameters and body are read, and joins the function list when it is complete.
FunctionNode* Parser::parseFunction() {
  NestingGuard guard(*this);
  auto* function = node<FunctionNode>(NodeKind::FunctionDefinition, take().line);
  if (peekKind() == kTokenIdentifier) function->declaredName = take().value.string;
  const bool topLevel = state_.nesting.empty();
  function->internalName = function->declaredName && topLevel ? function->declaredName : generatedName();
  state_.nesting.push_back(function->internalName);
  parseParameters(function);
  function->body = parseFunctionBody(function);
  state_.nesting.pop_back();
  state_.functions.append(function);
  return function;
}

// As a statement: inside a function body a named function becomes a LocalFunction binding its
// declared name in the enclosing function; elsewhere, and for a function without a name (there is
// nothing to bind), the statement is an empty Item.
Node* Parser::parseFunctionStatement() {
  FunctionNode* function = parseFunction();
  if (state_.nesting.empty() || !function->declaredName) return emptyItem(function->line);
  auto* local = node<LocalFunctionNode>(NodeKind::LocalFunction, function->line);
  local->enclosingName = state_.nesting.back();
  local->internalName = function->internalName;
  local->declaredName = function->declaredName;
  return local;
}

}  // namespace vexil::script
