#include "script/compiler/syntax_tree.h"

#include "script/runtime/heap.h"

namespace vexil::script {

void* allocNode(Engine& engine, size_t size) { return allocBlock(engine, size); }

const char* nodeKindName(NodeKind kind) {
  static constexpr const char* kNames[] = {
      "Comma", "Assign", "Conditional", "Logical", "Bitwise", "Equality", "Relational", "Shift",
      "Multiplicative", "Additive", "ThisLiteral", "NullLiteral", "TrueLiteral", "FalseLiteral",
      "UndefinedLiteral", "Identifier", "IntegerLiteral", "NumberLiteral", "StringLiteral",
      "RegExpLiteral", "ArrayLiteral", "ObjectLiteral", "Call", "NewExpression", "Member", "Index",
      "Prefix", "Postfix", "Block", "LocalFunction", "VarStatement", "ExpressionStatement", "If",
      "While", "DoWhile", "For", "ForIn", "ContinueStatement", "BreakStatement", "ReturnStatement",
      "ThrowStatement", "With", "Try", "Switch", "Labelled", "FunctionDefinition", "Item", "Declarator"};
  static_assert(sizeof kNames / sizeof kNames[0] == size_t(NodeKind::Declarator) + 1);
  return kNames[size_t(kind)];
}

const char* staticTypeName(StaticType type) {
  static constexpr const char* kNames[] = {"none",   "null",   "boolean", "integer", "string",
                                           "number", "array",  "object",  "regexp"};
  return kNames[size_t(type)];
}

}  // namespace vexil::script
