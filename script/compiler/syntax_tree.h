#pragma once
// The syntax tree of one compilation. Nodes live in the engine heap until the compilation ends
// (nothing frees them one by one; the collector reclaims them afterwards). Every node starts with
// its kind, its static type, its source line and the link to the next node of the list it stands
// in; the members of each kind follow in its own struct, so a reader switches on `kind` and casts.
//
// List orders: lists built by prepending hold their items last first — array elements, call and
// new arguments, object-literal properties. Parameters, statements, switch clauses, catch clauses
// and declarators are in source order.
//
// Depth: statements and expressions nest at most kMaxNesting deep (the parser refuses more), but
// left-associative chains — a + b + c…, a, b, c…, a.b.c…, a[0][1]…, f()()… — grow on the left
// without that limit, since the parser builds them in a loop. Walk their left spines in a loop too.
#include <cstddef>
#include <cstdint>
#include <new>
#include <type_traits>

#include "script/compiler/byte_string.h"
#include "script/compiler/token.h"

namespace vexil::script {

struct Engine;

enum class NodeKind : uint8_t {
  // Two-operand expressions (BinaryNode), except Assign.
  Comma, Assign, Conditional, Logical, Bitwise, Equality, Relational, Shift, Multiplicative, Additive,
  // Literals without members (Node).
  ThisLiteral, NullLiteral, TrueLiteral, FalseLiteral, UndefinedLiteral,
  Identifier, IntegerLiteral, NumberLiteral, StringLiteral, RegExpLiteral, ArrayLiteral, ObjectLiteral,
  Call, NewExpression, Member, Index, Prefix, Postfix,
  // Statements.
  Block, LocalFunction, VarStatement, ExpressionStatement, If, While, DoWhile, For, ForIn,
  ContinueStatement, BreakStatement, ReturnStatement, ThrowStatement, With, Try, Switch, Labelled,
  FunctionDefinition,
  // The general-purpose node (ItemNode and its kinds), and one declared variable.
  Item, Declarator,
};

// What an expression is known to yield before it runs.
enum class StaticType : uint8_t { None, Null, Boolean, Integer, String, Number, Array, Object, RegExp };

// What an Item stands for; its place in the tree says it too.
enum class ItemRole : uint8_t { Empty, Hole, Property, Clause, Catch };

// Regular-expression flag bits.
inline constexpr uint32_t kRegExpGlobal = 1;
inline constexpr uint32_t kRegExpIgnoreCase = 2;
inline constexpr uint32_t kRegExpMultiline = 4;

struct Node {
  NodeKind kind;
  StaticType type;
  int32_t line;
  Node* next;
};

// Comma, Logical, Bitwise, Equality, Relational, Shift, Multiplicative, Additive.
struct BinaryNode : Node {
  TokenKind op;
  Node* left;
  Node* right;
};
struct AssignNode : Node {
  TokenKind op;  // '=' or a compound form
  Node* target;
  Node* value;
};
struct ConditionalNode : Node {
  Node* condition;
  Node* thenValue;
  Node* elseValue;
};
struct IdentifierNode : Node {
  const ByteString* name;
};
struct IntegerNode : Node {
  HeapInt64 value;
};
struct NumberNode : Node {
  HeapDouble value;
};
struct StringNode : Node {
  const ByteString* value;
};
struct RegExpNode : Node {
  const ByteString* pattern;
  uint32_t flags;  // kRegExpGlobal | kRegExpIgnoreCase | kRegExpMultiline
};
struct ArrayNode : Node {
  Node* elements;  // last first; holes are Items
  uint32_t count;
};
struct PropertyItem;
struct ObjectNode : Node {
  PropertyItem* properties;  // last first
  uint32_t count;
};
struct CallNode : Node {
  Node* callee;
  Node* arguments;  // last first
  uint32_t count;
};
struct NewNode : Node {
  Node* constructor;
  Node* arguments;  // last first
  uint32_t count;
  bool hasArguments;  // "new F" has none, "new F()" an empty list
};
struct MemberNode : Node {
  Node* object;
  const ByteString* name;
};
struct IndexNode : Node {
  Node* object;
  Node* index;
};
// Prefix (! + - ~ delete typeof void ++ --) and Postfix (++ --).
struct UnaryNode : Node {
  TokenKind op;
  Node* operand;
};

struct BlockNode : Node {
  Node* statements;
};
// A function declared inside a function body: the inner function becomes a property of the
// enclosing function under its declared name.
struct LocalFunctionNode : Node {
  const ByteString* enclosingName;
  const ByteString* internalName;
  const ByteString* declaredName;
};
struct DeclaratorNode : Node {
  const ByteString* name;
  Node* initial;  // or null
};
struct VarNode : Node {
  DeclaratorNode* declarations;
  uint32_t count;
  bool topLevel;
};
struct ExpressionStatementNode : Node {
  Node* expression;
};
struct IfNode : Node {
  Node* condition;
  Node* thenStatement;
  Node* elseStatement;  // or null
};
// While and DoWhile.
struct LoopNode : Node {
  Node* condition;
  Node* body;
};
struct ForNode : Node {
  DeclaratorNode* declarations;  // with var
  uint32_t declarationCount;
  Node* init;  // without var; each part may be absent
  Node* condition;
  Node* step;
  Node* body;
};
struct ForInNode : Node {
  DeclaratorNode* declaration;  // with var, else null
  Node* target;                 // without var: an Identifier
  Node* object;
  Node* body;
};
// ContinueStatement and BreakStatement.
struct JumpNode : Node {
  const ByteString* label;  // or null
};
// ReturnStatement (value may be null) and ThrowStatement.
struct ValueStatementNode : Node {
  Node* value;
};
struct WithNode : Node {
  Node* object;
  Node* body;
};
struct CatchItem;
struct TryNode : Node {
  Node* body;
  CatchItem* catches;  // in source order
  Node* finallyStatement;  // or null
  int32_t tryLine;
  int32_t endLine;
};
struct ClauseItem;
struct SwitchNode : Node {
  Node* discriminant;
  ClauseItem* clauses;
  int32_t closeLine;
};
struct LabelledNode : Node {
  const ByteString* label;
  Node* statement;
};
struct FunctionNode : Node {
  const ByteString* internalName;
  const ByteString* declaredName;  // or null
  IdentifierNode* parameters;
  uint32_t parameterCount;
  BlockNode* body;
  int32_t bodyLine;  // the line of the opening brace
  int32_t endLine;   // the line of the closing brace
  bool usesArguments;
};

// Item: an empty statement or an array hole (nothing more), or one of the kinds below.
struct ItemNode : Node {
  ItemRole role;
};
struct PropertyItem : ItemNode {
  TokenKind keyKind;  // kTokenIdentifier, kTokenString or kTokenInteger
  TokenValue key;
  Node* value;
};
struct ClauseItem : ItemNode {
  Node* test;  // null for default
  Node* statements;
};
struct CatchItem : ItemNode {
  const ByteString* name;
  Node* guard;  // or null
  Node* body;
};

// A fresh node of type T in the engine heap, zeroed but for its kind and line.
void* allocNode(Engine& engine, size_t size);
template <typename T>
T* newNode(Engine& engine, NodeKind kind, int32_t line) {
  static_assert(std::is_trivially_destructible_v<T>, "nodes are never destroyed");
  static_assert(alignof(T) <= alignof(void*), "nodes live in the engine heap");
  T* node = new (allocNode(engine, sizeof(T))) T{};
  node->kind = kind;
  node->line = line;
  return node;
}

// Lists built in source order keep their tail.
struct NodeList {
  Node* head = nullptr;
  Node* tail = nullptr;
  uint32_t count = 0;
  void append(Node* node) {
    (tail ? tail->next : head) = node;
    tail = node;
    ++count;
  }
};
// Lists built by prepending.
inline void prepend(Node*& head, Node* node) {
  node->next = head;
  head = node;
}

const char* nodeKindName(NodeKind kind);
const char* staticTypeName(StaticType type);

}  // namespace vexil::script
