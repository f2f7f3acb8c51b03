// Expressions, lowest precedence first. The two-operand levels from || to * / % share one
// precedence-climbing rule driven by a table, so a parenthesis costs a few C++ frames, not one per
// level.
#include "script/compiler/compile_messages.h"
#include "script/compiler/lexer.h"
#include "script/compiler/parser_internal.h"

namespace vexil::script {

namespace {

struct BinaryLevel {
  int level;  // higher binds tighter; -1: not a two-operand operator
  NodeKind kind;
};

BinaryLevel binaryLevel(TokenKind kind) {
  switch (kind) {
    case kTokenOr: return {0, NodeKind::Logical};
    case kTokenAnd: return {1, NodeKind::Logical};
    case '|': return {2, NodeKind::Bitwise};
    case '^': return {3, NodeKind::Bitwise};
    case '&': return {4, NodeKind::Bitwise};
    case kTokenEqual:
    case kTokenNotEqual:
    case kTokenStrictEqual:
    case kTokenStrictNotEqual: return {5, NodeKind::Equality};
    case '<':
    case '>':
    case kTokenLessEqual:
    case kTokenGreaterEqual: return {6, NodeKind::Relational};
    case kTokenShiftLeft:
    case kTokenShiftRight:
    case kTokenShiftRightUnsigned: return {7, NodeKind::Shift};
    case '+':
    case '-': return {8, NodeKind::Additive};
    case '*':
    case '/':
    case '%': return {9, NodeKind::Multiplicative};
    default: return {-1, NodeKind::Comma};
  }
}

bool isAssignmentOperator(TokenKind kind) {
  switch (kind) {
    case '=':
    case kTokenMulAssign:
    case kTokenDivAssign:
    case kTokenModAssign:
    case kTokenAddAssign:
    case kTokenSubAssign:
    case kTokenAndAssign:
    case kTokenXorAssign:
    case kTokenOrAssign:
    case kTokenShiftLeftAssign:
    case kTokenShiftRightAssign:
    case kTokenShiftRightUnsignedAssign:
      return true;
    default:
      return false;
  }
}

bool isPrefixOperator(TokenKind kind) {
  switch (kind) {
    case '!':
    case '+':
    case '-':
    case '~':
    case kTokenDelete:
    case kTokenTypeof:
    case kTokenVoid:
    case kTokenIncrement:
    case kTokenDecrement:
      return true;
    default:
      return false;
  }
}

// The parser lets these stand left of an assignment operator; the code generator decides what it
// can store to.
bool isAssignable(NodeKind kind) {
  switch (kind) {
    case NodeKind::ThisLiteral:
    case NodeKind::NullLiteral:
    case NodeKind::TrueLiteral:
    case NodeKind::FalseLiteral:
    case NodeKind::Identifier:
    case NodeKind::NumberLiteral:
    case NodeKind::IntegerLiteral:
    case NodeKind::StringLiteral:
    case NodeKind::Call:
    case NodeKind::Member:
    case NodeKind::Index:
    case NodeKind::NewExpression:
    case NodeKind::RegExpLiteral:
    case NodeKind::ArrayLiteral:
    case NodeKind::UndefinedLiteral:
      return true;
    default:
      return false;
  }
}

}  // namespace

Node* Parser::requireAssignment() {
  Node* expression = parseAssignment();
  if (!expression) syntaxError(kInvalidExpression);
  return expression;
}

Node* Parser::parseExpression() {
  Node* left = parseAssignment();
  if (!left) return nullptr;
  while (peekKind() == ',') {
    auto* comma = node<BinaryNode>(NodeKind::Comma, take().line);
    comma->op = TokenKind(',');
    comma->left = left;
    comma->right = requireAssignment();
    left = comma;
  }
  return left;
}

// Right-associative. "=" followed by a function defines it and assigns its internal name's value:
// the one place where a function stands inside an expression.
Node* Parser::parseAssignment() {
  NestingGuard guard(*this);
  Node* target = parseConditional();
  if (!target || !isAssignmentOperator(peekKind()) || !isAssignable(target->kind)) return target;
  const Token op = take();
  auto* assign = node<AssignNode>(NodeKind::Assign, op.line);
  assign->op = op.kind;
  assign->target = target;
  if (op.kind == '=' && peekKind() == kTokenFunction) {
    FunctionNode* function = parseFunction();
    auto* name = node<IdentifierNode>(NodeKind::Identifier, function->line);
    name->name = function->internalName;
    assign->value = name;
  } else {
    assign->value = requireAssignment();
  }
  return assign;
}

Node* Parser::parseConditional() {
  Node* condition = parseBinary(0);
  if (!condition || peekKind() != '?') return condition;
  auto* conditional = node<ConditionalNode>(NodeKind::Conditional, take().line);
  conditional->condition = condition;
  conditional->thenValue = requireAssignment();
  expect(TokenKind(':'), kMissingColonInConditional);
  conditional->elseValue = requireAssignment();
  return conditional;
}

// Left-associative levels by precedence climbing: a right operand binds only tighter operators.
Node* Parser::parseBinary(int minLevel) {
  Node* left = parseUnary();
  if (!left) return nullptr;
  for (;;) {
    const BinaryLevel level = binaryLevel(peekKind());
    if (level.level < minLevel) return left;
    const Token op = take();
    auto* binary = node<BinaryNode>(level.kind, op.line);
    binary->op = op.kind;
    binary->left = left;
    binary->right = parseBinary(level.level + 1);
    if (!binary->right) syntaxError(kInvalidExpression);
    const bool booleanLogic = level.kind == NodeKind::Logical && left->type == StaticType::Boolean &&
                              binary->right->type == StaticType::Boolean;
    if (level.kind == NodeKind::Equality || level.kind == NodeKind::Relational || booleanLogic) {
      binary->type = StaticType::Boolean;
    }
    left = binary;
  }
}

Node* Parser::parseUnary() {
  if (!isPrefixOperator(peekKind())) return parsePostfix();
  NestingGuard guard(*this);
  const Token op = take();
  auto* prefix = node<UnaryNode>(NodeKind::Prefix, op.line);
  prefix->op = op.kind;
  prefix->operand = parseUnary();
  if (!prefix->operand) syntaxError(kInvalidExpression);
  if (op.kind == '!') prefix->type = StaticType::Boolean;
  return prefix;
}

// ++ and -- after an operand only on its line; on a later line they belong to the next statement.
Node* Parser::parsePostfix() {
  Node* operand = parseCall();
  if (!operand) return nullptr;
  const TokenKind next = peekKind();
  if (next != kTokenIncrement && next != kTokenDecrement) return operand;
  if (!nextOnSameLine()) {
    if (c_.option(kOptionWarnMissingSemicolon)) c_.diagnostics.warning(state_.lastLine, "%s", kMissingSemicolon);
    return operand;
  }
  auto* postfix = node<UnaryNode>(NodeKind::Postfix, take().line);
  postfix->op = next;
  postfix->operand = operand;
  return postfix;
}

// A member expression; once a call follows, calls, member and index selections in any order.
Node* Parser::parseCall() {
  Node* callee = parseMember();
  if (!callee || peekKind() != '(') return callee;
  return parseSelections(callee, true);
}

// "new" member-expression [arguments], or a primary expression; then member and index
// selections.
Node* Parser::parseMember() {
  if (peekKind() != kTokenNew) {
    Node* primary = parsePrimary();
    return primary ? parseSelections(primary, false) : nullptr;
  }
  NestingGuard guard(*this);
  auto* construct = node<NewNode>(NodeKind::NewExpression, take().line);
  construct->constructor = parseMember();
  if (!construct->constructor) syntaxError(kInvalidExpression);
  if (accept(TokenKind('('))) {
    construct->hasArguments = true;
    construct->arguments = parseArguments(construct->count);
  }
  return parseSelections(construct, false);
}

Node* Parser::parseSelections(Node* object, bool calls) {
  for (;;) {
    const TokenKind next = peekKind();
    if (next == '.') {
      auto* member = node<MemberNode>(NodeKind::Member, take().line);
      if (peekKind() != kTokenIdentifier) syntaxError(kIllegalIdentifier);
      member->object = object;
      member->name = take().value.string;
      object = member;
    } else if (next == '[') {
      auto* index = node<IndexNode>(NodeKind::Index, take().line);
      index->object = object;
      index->index = parseExpression();
      if (!index->index) syntaxError(kInvalidExpression);
      expect(TokenKind(']'), kMissingBracketInIndex);
      object = index;
    } else if (next == '(' && calls) {
      auto* call = node<CallNode>(NodeKind::Call, take().line);
      call->callee = object;
      call->arguments = parseArguments(call->count);
      object = call;
    } else {
      return object;
    }
  }
}

// After "(": assignment expressions separated by commas, then ")". Last argument first.
Node* Parser::parseArguments(uint32_t& count) {
  Node* head = nullptr;
  count = 0;
  if (accept(TokenKind(')'))) return head;
  for (;;) {
    prepend(head, requireAssignment());
    ++count;
    if (accept(TokenKind(','))) continue;
    if (accept(TokenKind(')'))) return head;
    syntaxError(kMissingParenAfterArguments);
  }
}

Node* Parser::parsePrimary() {
  const Token& next = peek();
  const int32_t line = next.line;
  auto literal = [&](NodeKind kind, StaticType type) {
    take();
    Node* n = node<Node>(kind, line);
    n->type = type;
    return n;
  };
  switch (next.kind) {
    case '(': {
      take();
      Node* inner = parseExpression();
      if (!inner || !accept(TokenKind(')'))) syntaxError(kInvalidExpression);
      return inner;
    }
    case '/': {
      take();
      RegExpBody body = readRegExpBody(c_);
      auto* regexp = node<RegExpNode>(NodeKind::RegExpLiteral, line);
      regexp->type = StaticType::RegExp;
      regexp->pattern = body.pattern;
      regexp->flags = body.flags;
      return regexp;
    }
    case '[': return parseArrayLiteral();
    case '{': return parseObjectLiteral();
    case kTokenInteger: {
      auto* integer = node<IntegerNode>(NodeKind::IntegerLiteral, line);
      integer->type = StaticType::Integer;
      integer->value = take().value.integer;
      return integer;
    }
    case kTokenFloat: {
      auto* number = node<NumberNode>(NodeKind::NumberLiteral, line);
      number->type = StaticType::Number;
      number->value = take().value.number;
      return number;
    }
    case kTokenString: {
      auto* string = node<StringNode>(NodeKind::StringLiteral, line);
      string->type = StaticType::String;
      string->value = take().value.string;
      return string;
    }
    case kTokenIdentifier: {
      auto* identifier = node<IdentifierNode>(NodeKind::Identifier, line);
      identifier->name = take().value.string;
      return identifier;
    }
    case kTokenThis: return literal(NodeKind::ThisLiteral, StaticType::None);
    case kTokenNull: return literal(NodeKind::NullLiteral, StaticType::Null);
    case kTokenTrue: return literal(NodeKind::TrueLiteral, StaticType::Boolean);
    case kTokenFalse: return literal(NodeKind::FalseLiteral, StaticType::Boolean);
    case kTokenUndefined: return literal(NodeKind::UndefinedLiteral, StaticType::None);
    default: return nullptr;
  }
}

// A comma right after "[" or after another comma is a hole, and so is a comma right before "]":
// [1,] has two elements, [,] two holes, [1,,] three elements.
Node* Parser::parseArrayLiteral() {
  auto* array = node<ArrayNode>(NodeKind::ArrayLiteral, take().line);
  array->type = StaticType::Array;
  auto add = [&](Node* element) {
    prepend(array->elements, element);
    ++array->count;
  };
  bool afterComma = true;  // or right after "["
  while (!accept(TokenKind(']'))) {
    if (peekKind() == ',') {
      const int32_t line = take().line;
      if (afterComma) add(emptyItem(line, ItemRole::Hole));
      if (peekKind() == ']') add(emptyItem(line, ItemRole::Hole));
      afterComma = true;
      continue;
    }
    if (!afterComma) syntaxError(kMissingBracketAfterElements);
    Node* element = parseAssignment();
    if (!element) syntaxError(kMissingBracketAfterElements);
    add(element);
    afterComma = false;
  }
  return array;
}

// Keys are identifiers, strings or integers; a comma may stand before the closing brace.
Node* Parser::parseObjectLiteral() {
  auto* object = node<ObjectNode>(NodeKind::ObjectLiteral, take().line);
  object->type = StaticType::Object;
  if (accept(TokenKind('}'))) return object;
  for (;;) {
    const TokenKind keyKind = peekKind();
    if (keyKind != kTokenIdentifier && keyKind != kTokenString && keyKind != kTokenInteger) {
      syntaxError(kInvalidPropertyId);
    }
    const Token key = take();
    auto* property = node<PropertyItem>(NodeKind::Item, key.line);
    property->role = ItemRole::Property;
    property->keyKind = key.kind;
    property->key = key.value;
    expect(TokenKind(':'), kMissingColonAfterPropertyId);
    property->value = requireAssignment();
    Node* head = object->properties;
    prepend(head, property);
    object->properties = static_cast<PropertyItem*>(head);
    ++object->count;
    if (accept(TokenKind(','))) {
      if (accept(TokenKind('}'))) return object;
      continue;
    }
    if (accept(TokenKind('}'))) return object;
    syntaxError(kMissingBraceAfterProperties);
  }
}

}  // namespace vexil::script
