#include "script/compiler/tree_printer.h"

#include <cstdio>
#include <string_view>
#include <vector>

#include "script/compiler/compilation.h"
#include "script/compiler/syntax_tree.h"

namespace vexil::script {

namespace {

constexpr int kMaxIndentDepth = 64;  // deeper nodes print at this column

std::string quoted(const ByteString* s) {
  std::string out = "\"";
  if (s) {
    for (unsigned char ch : s->view()) {
      char buffer[8];
      switch (ch) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
          if (ch < 32 || ch >= 127) {
            std::snprintf(buffer, sizeof buffer, "\\x%02X", ch);
            out += buffer;
          } else {
            out += char(ch);
          }
      }
    }
  }
  return out + "\"";
}

std::string numberText(double value) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.17g", value);
  std::string text = buffer;
  if (text.find_first_of(".eni") == std::string::npos) text += ".0";
  return text;
}

std::string_view name(const ByteString* s) { return s ? s->view() : std::string_view("-"); }

// Chains that grow on the left without bound (a + b + c, a.b.c, f()()): printed by walking the
// left spine in a loop, so a tree of any length prints without deep recursion.
bool isLeftChain(const Node* node) {
  switch (node->kind) {
    case NodeKind::Comma:
    case NodeKind::Logical:
    case NodeKind::Bitwise:
    case NodeKind::Equality:
    case NodeKind::Relational:
    case NodeKind::Shift:
    case NodeKind::Multiplicative:
    case NodeKind::Additive:
    case NodeKind::Member:
    case NodeKind::Index:
    case NodeKind::Call:
      return true;
    default:
      return false;
  }
}

const Node* leftOf(const Node* node) {
  switch (node->kind) {
    case NodeKind::Member: return static_cast<const MemberNode*>(node)->object;
    case NodeKind::Index: return static_cast<const IndexNode*>(node)->object;
    case NodeKind::Call: return static_cast<const CallNode*>(node)->callee;
    default: return static_cast<const BinaryNode*>(node)->left;
  }
}

class TreePrinter {
 public:
  explicit TreePrinter(TreePrintOptions options) : options_(options) {}

  void print(const Node* node) {
    if (!node) {
      out_ += '-';
      return;
    }
    std::vector<const Node*> spine;
    for (; isLeftChain(node); node = leftOf(node)) spine.push_back(node);
    for (const Node* link : spine) {
      openChainLink(link);
      separate();
    }
    printSingle(node);
    for (auto it = spine.rbegin(); it != spine.rend(); ++it) {
      finishChainLink(*it);
      close();
    }
  }

  std::string take() { return std::move(out_); }

 private:
  void separate() {
    if (!options_.indent) {
      out_ += ' ';
      return;
    }
    out_ += '\n';
    out_.append(size_t(2 * (depth_ < kMaxIndentDepth ? depth_ : kMaxIndentDepth)), ' ');
  }
  void word(std::string_view text) {
    out_ += ' ';
    out_ += text;
  }
  void child(const Node* node) {
    separate();
    print(node);
  }
  void list(const Node* head) {
    for (const Node* node = head; node; node = node->next) child(node);
  }
  void decorate(const Node* node) {
    if (options_.lines) out_ += "@" + std::to_string(node->line);
    if (options_.types && node->type != StaticType::None) out_ += std::string(":") + staticTypeName(node->type);
  }
  void open(const Node* node, std::string_view head) {
    out_ += '(';
    out_ += head;
    decorate(node);
    ++depth_;
  }
  void close() {
    out_ += ')';
    --depth_;
  }
  void atom(const Node* node, std::string_view text) {
    out_ += text;
    decorate(node);
  }
  void declarations(const Node* head) {
    separate();
    out_ += "(var";
    ++depth_;
    list(head);
    close();
  }

  void openChainLink(const Node* node) {
    open(node, nodeKindName(node->kind));
    if (node->kind != NodeKind::Comma && node->kind != NodeKind::Member && node->kind != NodeKind::Index &&
        node->kind != NodeKind::Call) {
      word(tokenText(static_cast<const BinaryNode*>(node)->op));
    }
  }
  void finishChainLink(const Node* node) {
    switch (node->kind) {
      case NodeKind::Member: word(name(static_cast<const MemberNode*>(node)->name)); break;
      case NodeKind::Index: child(static_cast<const IndexNode*>(node)->index); break;
      case NodeKind::Call: {
        auto* call = static_cast<const CallNode*>(node);
        word(std::to_string(call->count));
        list(call->arguments);
        break;
      }
      default: child(static_cast<const BinaryNode*>(node)->right); break;
    }
  }

  void printSingle(const Node* node);
  void printItem(const ItemNode* item);
  void printMembers(const Node* node);

  TreePrintOptions options_;
  std::string out_;
  int depth_ = 0;
};

void TreePrinter::printSingle(const Node* node) {
  switch (node->kind) {
    case NodeKind::ThisLiteral: return atom(node, "this");
    case NodeKind::NullLiteral: return atom(node, "null");
    case NodeKind::TrueLiteral: return atom(node, "true");
    case NodeKind::FalseLiteral: return atom(node, "false");
    case NodeKind::UndefinedLiteral: return atom(node, "undefined");
    case NodeKind::Identifier: return atom(node, name(static_cast<const IdentifierNode*>(node)->name));
    case NodeKind::IntegerLiteral:
      return atom(node, std::to_string(int64_t(static_cast<const IntegerNode*>(node)->value)));
    case NodeKind::NumberLiteral: return atom(node, numberText(static_cast<const NumberNode*>(node)->value));
    case NodeKind::StringLiteral: return atom(node, quoted(static_cast<const StringNode*>(node)->value));
    case NodeKind::RegExpLiteral: {
      auto* regexp = static_cast<const RegExpNode*>(node);
      std::string text = "/" + std::string(regexp->pattern ? regexp->pattern->view() : "") + "/";
      if (regexp->flags & kRegExpGlobal) text += 'g';
      if (regexp->flags & kRegExpIgnoreCase) text += 'i';
      if (regexp->flags & kRegExpMultiline) text += 'm';
      return atom(node, text);
    }
    case NodeKind::Item: return printItem(static_cast<const ItemNode*>(node));
    default: break;
  }
  open(node, nodeKindName(node->kind));
  printMembers(node);
  close();
}

void TreePrinter::printItem(const ItemNode* item) {
  switch (item->role) {
    case ItemRole::Empty: open(item, "Item"); break;
    case ItemRole::Hole: open(item, "Hole"); break;
    case ItemRole::Property: {
      auto* property = static_cast<const PropertyItem*>(item);
      open(item, "Property");
      if (property->keyKind == kTokenString) word(quoted(property->key.string));
      else if (property->keyKind == kTokenInteger) word(std::to_string(int64_t(property->key.integer)));
      else word(name(property->key.string));
      child(property->value);
      break;
    }
    case ItemRole::Clause: {
      auto* clause = static_cast<const ClauseItem*>(item);
      open(item, clause->test ? "Case" : "Default");
      if (clause->test) child(clause->test);
      list(clause->statements);
      break;
    }
    case ItemRole::Catch: {
      auto* clause = static_cast<const CatchItem*>(item);
      open(item, "Catch");
      word(name(clause->name));
      if (clause->guard) {
        word("if");
        child(clause->guard);
      }
      child(clause->body);
      break;
    }
  }
  close();
}

void TreePrinter::printMembers(const Node* node) {
  switch (node->kind) {
    case NodeKind::Assign: {
      auto* assign = static_cast<const AssignNode*>(node);
      word(tokenText(assign->op));
      child(assign->target);
      child(assign->value);
      break;
    }
    case NodeKind::Conditional: {
      auto* conditional = static_cast<const ConditionalNode*>(node);
      child(conditional->condition);
      child(conditional->thenValue);
      child(conditional->elseValue);
      break;
    }
    case NodeKind::ArrayLiteral: {
      auto* array = static_cast<const ArrayNode*>(node);
      word(std::to_string(array->count));
      list(array->elements);
      break;
    }
    case NodeKind::ObjectLiteral: {
      auto* object = static_cast<const ObjectNode*>(node);
      word(std::to_string(object->count));
      list(object->properties);
      break;
    }
    case NodeKind::NewExpression: {
      auto* construct = static_cast<const NewNode*>(node);
      child(construct->constructor);
      if (construct->hasArguments) {
        word(std::to_string(construct->count));
        list(construct->arguments);
      }
      break;
    }
    case NodeKind::Prefix:
    case NodeKind::Postfix: {
      auto* unary = static_cast<const UnaryNode*>(node);
      word(tokenText(unary->op));
      child(unary->operand);
      break;
    }
    case NodeKind::Block: list(static_cast<const BlockNode*>(node)->statements); break;
    case NodeKind::LocalFunction: {
      auto* local = static_cast<const LocalFunctionNode*>(node);
      word(name(local->enclosingName));
      word(name(local->internalName));
      word(name(local->declaredName));
      break;
    }
    case NodeKind::VarStatement: {
      auto* var = static_cast<const VarNode*>(node);
      if (var->topLevel) word("top");
      list(var->declarations);
      break;
    }
    case NodeKind::Declarator: {
      auto* declarator = static_cast<const DeclaratorNode*>(node);
      word(name(declarator->name));
      if (declarator->initial) child(declarator->initial);
      break;
    }
    case NodeKind::ExpressionStatement: child(static_cast<const ExpressionStatementNode*>(node)->expression); break;
    case NodeKind::If: {
      auto* statement = static_cast<const IfNode*>(node);
      child(statement->condition);
      child(statement->thenStatement);
      if (statement->elseStatement) child(statement->elseStatement);
      break;
    }
    case NodeKind::While: {
      auto* loop = static_cast<const LoopNode*>(node);
      child(loop->condition);
      child(loop->body);
      break;
    }
    case NodeKind::DoWhile: {
      auto* loop = static_cast<const LoopNode*>(node);
      child(loop->body);
      child(loop->condition);
      break;
    }
    case NodeKind::For: {
      auto* loop = static_cast<const ForNode*>(node);
      if (loop->declarations) declarations(loop->declarations);
      else child(loop->init);
      child(loop->condition);
      child(loop->step);
      child(loop->body);
      break;
    }
    case NodeKind::ForIn: {
      auto* loop = static_cast<const ForInNode*>(node);
      if (loop->declaration) declarations(loop->declaration);
      else child(loop->target);
      child(loop->object);
      child(loop->body);
      break;
    }
    case NodeKind::ContinueStatement:
    case NodeKind::BreakStatement: {
      auto* jump = static_cast<const JumpNode*>(node);
      if (jump->label) word(jump->label->view());
      break;
    }
    case NodeKind::ReturnStatement:
    case NodeKind::ThrowStatement: {
      auto* statement = static_cast<const ValueStatementNode*>(node);
      if (statement->value) child(statement->value);
      break;
    }
    case NodeKind::With: {
      auto* statement = static_cast<const WithNode*>(node);
      child(statement->object);
      child(statement->body);
      break;
    }
    case NodeKind::Try: {
      auto* statement = static_cast<const TryNode*>(node);
      child(statement->body);
      list(statement->catches);
      if (statement->finallyStatement) {
        word("finally");
        child(statement->finallyStatement);
      }
      break;
    }
    case NodeKind::Switch: {
      auto* statement = static_cast<const SwitchNode*>(node);
      child(statement->discriminant);
      list(statement->clauses);
      break;
    }
    case NodeKind::Labelled: {
      auto* labelled = static_cast<const LabelledNode*>(node);
      word(name(labelled->label));
      child(labelled->statement);
      break;
    }
    case NodeKind::FunctionDefinition: {
      auto* function = static_cast<const FunctionNode*>(node);
      word(name(function->internalName));
      word(name(function->declaredName));
      std::string parameters = "(";
      for (const Node* p = function->parameters; p; p = p->next) {
        if (p != function->parameters) parameters += ' ';
        parameters += name(static_cast<const IdentifierNode*>(p)->name);
      }
      word(parameters + ")");
      if (function->usesArguments) word("arguments");
      child(function->body);
      break;
    }
    default: break;
  }
}

}  // namespace

std::string printNode(const Node* node, TreePrintOptions options) {
  TreePrinter printer(options);
  printer.print(node);
  return printer.take();
}

std::string printTree(const Compilation& compilation, TreePrintOptions options) {
  std::string out = "functions:\n";
  for (const Node* f = compilation.parser.functions.head; f; f = f->next) out += printNode(f, options) + "\n";
  out += "main:\n";
  for (const Node* s = compilation.parser.main.head; s; s = s->next) out += printNode(s, options) + "\n";
  return out;
}

}  // namespace vexil::script
