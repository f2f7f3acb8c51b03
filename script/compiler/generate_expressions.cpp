// Code for expressions. Every expression leaves exactly one value on the operand stack.
#include "script/compiler/code_generator.h"

#include <vector>

#include "script/compiler/compilation.h"

namespace vexil::script {
namespace {

// Keeps the line of the node being generated for the instructions it emits, and gives the
// enclosing node its own line back afterwards.
class LineScope {
 public:
  LineScope(int32_t& line, int32_t now) : line_(line), saved_(line) { line = now; }
  ~LineScope() { line_ = saved_; }

 private:
  int32_t& line_;
  int32_t saved_;
};

Opcode binaryOpcode(TokenKind op) {
  switch (op) {
    case '+': case kTokenAddAssign: return Opcode::Add;
    case '-': case kTokenSubAssign: return Opcode::Sub;
    case '*': case kTokenMulAssign: return Opcode::Mul;
    case '/': case kTokenDivAssign: return Opcode::Div;
    case '%': case kTokenModAssign: return Opcode::Mod;
    case '&': case kTokenAndAssign: return Opcode::BitAnd;
    case '|': case kTokenOrAssign: return Opcode::BitOr;
    case '^': case kTokenXorAssign: return Opcode::BitXor;
    case kTokenShiftLeft: case kTokenShiftLeftAssign: return Opcode::ShiftLeft;
    case kTokenShiftRight: case kTokenShiftRightAssign: return Opcode::ShiftRight;
    case kTokenShiftRightUnsigned: case kTokenShiftRightUnsignedAssign: return Opcode::ShiftRightUnsigned;
    case kTokenEqual: return Opcode::Equal;
    case kTokenNotEqual: return Opcode::NotEqual;
    case kTokenStrictEqual: return Opcode::StrictEqual;
    case kTokenStrictNotEqual: return Opcode::StrictNotEqual;
    case '<': return Opcode::Less;
    case '>': return Opcode::Greater;
    case kTokenLessEqual: return Opcode::LessEqual;
    default: return Opcode::GreaterEqual;
  }
}

// Variables, members and elements can be stored into; anything else the parser lets stand on the
// left of an assignment (a literal, this, a call) is evaluated and stores nothing.
bool isStorable(const Node* target) {
  return target->kind == NodeKind::Identifier || target->kind == NodeKind::Member || target->kind == NodeKind::Index;
}

bool isBinaryKind(NodeKind kind) {
  switch (kind) {
    case NodeKind::Comma: case NodeKind::Logical: case NodeKind::Bitwise: case NodeKind::Equality:
    case NodeKind::Relational: case NodeKind::Shift: case NodeKind::Multiplicative: case NodeKind::Additive:
      return true;
    default:
      return false;
  }
}

}  // namespace

// Binary operators, member and index selections and calls are links of a left spine.
bool CodeGenerator::isSpineLink(const Node* node) const {
  return isBinaryKind(node->kind) || node->kind == NodeKind::Member || node->kind == NodeKind::Index ||
         node->kind == NodeKind::Call;
}

const Node* CodeGenerator::spineChild(const Node* node) const {
  switch (node->kind) {
    case NodeKind::Member: return static_cast<const MemberNode*>(node)->object;
    case NodeKind::Index: return static_cast<const IndexNode*>(node)->object;
    case NodeKind::Call: {
      const Node* callee = static_cast<const CallNode*>(node)->callee;
      // A method call evaluates the object, not the member.
      if (callee->kind == NodeKind::Member) return static_cast<const MemberNode*>(callee)->object;
      return callee;
    }
    default: return static_cast<const BinaryNode*>(node)->left;
  }
}

// The spine a + b + c… is generated as: the prefixes of the links from the outside in (only calls
// have one: their arguments and count), the innermost operand, then the suffixes from the inside
// out (the operator with its right operand, the selection, the call).
void CodeGenerator::spine(const Node* node) {
  std::vector<const Node*> links;
  const Node* base = node;
  while (isSpineLink(base)) {
    links.push_back(base);
    base = spineChild(base);
  }
  for (const Node* link : links) spinePrefix(link);
  expression(base);
  for (size_t i = links.size(); i-- > 0;) spineSuffix(links[i]);
}

void CodeGenerator::spinePrefix(const Node* node) {
  if (node->kind != NodeKind::Call) return;
  LineScope line(line_, node->line);
  const auto* call = static_cast<const CallNode*>(node);
  arguments(call->arguments, call->count);
}

void CodeGenerator::spineSuffix(const Node* node) {
  LineScope line(line_, node->line);
  switch (node->kind) {
    case NodeKind::Member:
      emitName(Opcode::GetProperty, static_cast<const MemberNode*>(node)->name->view());
      return;
    case NodeKind::Index:
      expression(static_cast<const IndexNode*>(node)->index);
      emit(Opcode::GetElement);
      return;
    case NodeKind::Call: {
      const auto* call = static_cast<const CallNode*>(node);
      if (call->callee->kind == NodeKind::Member)
        emitName(Opcode::CallMethod, static_cast<const MemberNode*>(call->callee)->name->view());
      else if (call->callee->kind == NodeKind::Identifier && withDepth_)
        emitName(Opcode::CallName, static_cast<const IdentifierNode*>(call->callee)->name->view());
      else
        emit(Opcode::CallValue);
      emitCollapse(call->count + 2);
      return;
    }
    case NodeKind::Comma:
      emit(Opcode::Pop);
      expression(static_cast<const BinaryNode*>(node)->right);
      return;
    case NodeKind::Logical: {
      int32_t end = newLabel();
      logical(static_cast<const BinaryNode*>(node), end);
      return;
    }
    default:
      binaryOperator(static_cast<const BinaryNode*>(node));
      return;
  }
}

void CodeGenerator::binaryOperator(const BinaryNode* node) {
  expression(node->right);
  emit(binaryOpcode(node->op));
}

// a && b: a, Dup, JumpIfFalse end, Pop, b, end — the left value is the result when it decides.
void CodeGenerator::logical(const BinaryNode* node, int32_t end) {
  emit(Opcode::Dup);
  emitConditionalJump(node->left, node->op == kTokenOr, end);
  emit(Opcode::Pop);
  expression(node->right);
  placeLabel(end);
}

void CodeGenerator::expression(const Node* node) {
  if (isSpineLink(node)) {
    spine(node);
    return;
  }
  LineScope line(line_, node->line);
  switch (node->kind) {
    case NodeKind::IntegerLiteral:
    case NodeKind::NumberLiteral:
    case NodeKind::StringLiteral:
    case NodeKind::RegExpLiteral: pushConstant(node); return;
    case NodeKind::ThisLiteral: emitInt(Opcode::GetArg, kThisSlot); return;
    case NodeKind::NullLiteral: emit(Opcode::PushNull); return;
    case NodeKind::TrueLiteral: emit(Opcode::PushTrue); return;
    case NodeKind::FalseLiteral: emit(Opcode::PushFalse); return;
    case NodeKind::UndefinedLiteral: emit(Opcode::PushUndefined); return;
    case NodeKind::Identifier: loadIdentifier(static_cast<const IdentifierNode*>(node)->name->view()); return;
    case NodeKind::Assign: assign(static_cast<const AssignNode*>(node)); return;
    case NodeKind::Conditional: conditional(static_cast<const ConditionalNode*>(node)); return;
    case NodeKind::Prefix: prefix(static_cast<const UnaryNode*>(node)); return;
    case NodeKind::Postfix: postfix(static_cast<const UnaryNode*>(node)); return;
    case NodeKind::NewExpression: newExpression(static_cast<const NewNode*>(node)); return;
    case NodeKind::ArrayLiteral: arrayLiteral(static_cast<const ArrayNode*>(node)); return;
    case NodeKind::ObjectLiteral: objectLiteral(static_cast<const ObjectNode*>(node)); return;
    default:
      // An array hole (the only Item that stands for a value).
      emit(Opcode::PushUndefined);
      return;
  }
}

void CodeGenerator::pushConstant(const Node* node) {
  Instruction& push = emit(Opcode::PushConst);
  switch (node->kind) {
    case NodeKind::IntegerLiteral:
      push.kind = PoolKind::Integer;
      push.integer = static_cast<const IntegerNode*>(node)->value;
      return;
    case NodeKind::NumberLiteral:
      push.kind = PoolKind::Real;
      push.real = static_cast<const NumberNode*>(node)->value;
      return;
    case NodeKind::StringLiteral:
      push.kind = PoolKind::String;
      push.text = static_cast<const StringNode*>(node)->value->view();
      return;
    default: {
      const auto* regexp = static_cast<const RegExpNode*>(node);
      push.kind = PoolKind::RegExp;
      push.text = regexp->pattern ? regexp->pattern->view() : std::string_view();
      push.flags = regexp->flags;
      return;
    }
  }
}

void CodeGenerator::assign(const AssignNode* node) {
  if (node->op == '=') {
    expression(node->value);
  } else {
    loadTarget(node->target);
    expression(node->value);
    emit(binaryOpcode(node->op));
  }
  if (!isStorable(node->target)) return;
  emit(Opcode::Dup);
  storeTarget(node->target);
}

void CodeGenerator::loadTarget(const Node* target) { expression(target); }

// Only storable targets come here; anything else just drops the copy meant for the store.
void CodeGenerator::storeTarget(const Node* target) {
  LineScope line(line_, target->line);
  switch (target->kind) {
    case NodeKind::Identifier:
      storeIdentifier(static_cast<const IdentifierNode*>(target)->name->view());
      return;
    case NodeKind::Member: {
      const auto* member = static_cast<const MemberNode*>(target);
      expression(member->object);
      emitName(Opcode::SetProperty, member->name->view());
      return;
    }
    case NodeKind::Index: {
      const auto* index = static_cast<const IndexNode*>(target);
      expression(index->object);
      expression(index->index);
      emit(Opcode::SetElement);
      return;
    }
    default:
      emit(Opcode::Pop);
      return;
  }
}

void CodeGenerator::prefix(const UnaryNode* node) {
  switch (node->op) {
    case '!': expression(node->operand); emit(Opcode::Not); return;
    case '-': expression(node->operand); emit(Opcode::Negate); return;
    case '+': expression(node->operand); return;
    case '~': {
      expression(node->operand);
      Instruction& minusOne = emit(Opcode::PushConst);
      minusOne.kind = PoolKind::Integer;
      minusOne.integer = -1;
      emit(Opcode::BitXor);
      return;
    }
    case kTokenVoid: expression(node->operand); emit(Opcode::Pop); emit(Opcode::PushUndefined); return;
    case kTokenTypeof: expression(node->operand); emit(Opcode::TypeOf); return;
    case kTokenDelete: deleteOperand(node->operand); return;
    default:  // ++ and --
      loadTarget(node->operand);
      emit(Opcode::PushOne);
      emit(node->op == kTokenIncrement ? Opcode::Add : Opcode::Sub);
      if (!isStorable(node->operand)) return;
      emit(Opcode::Dup);
      storeTarget(node->operand);
      return;
  }
}

// The old value stays as the result.
void CodeGenerator::postfix(const UnaryNode* node) {
  loadTarget(node->operand);
  if (!isStorable(node->operand)) return;
  emit(Opcode::Dup);
  emit(Opcode::PushOne);
  emit(node->op == kTokenIncrement ? Opcode::Add : Opcode::Sub);
  storeTarget(node->operand);
}

// Deleting what is no variable, member or element evaluates it and yields true, as there was
// nothing to delete.
void CodeGenerator::deleteOperand(const Node* operand) {
  switch (operand->kind) {
    case NodeKind::Identifier:
      deleteIdentifier(static_cast<const IdentifierNode*>(operand)->name->view());
      return;
    case NodeKind::Member: {
      const auto* member = static_cast<const MemberNode*>(operand);
      expression(member->object);
      emitName(Opcode::DeleteProperty, member->name->view());
      return;
    }
    case NodeKind::Index: {
      const auto* index = static_cast<const IndexNode*>(operand);
      expression(index->object);
      expression(index->index);
      emit(Opcode::DeleteElement);
      return;
    }
    default:
      expression(operand);
      emit(Opcode::Pop);
      emit(Opcode::PushTrue);
      return;
  }
}

void CodeGenerator::conditional(const ConditionalNode* node) {
  int32_t otherwise = newLabel();
  int32_t end = newLabel();
  expression(node->condition);
  emitConditionalJump(node->condition, false, otherwise);
  expression(node->thenValue);
  emitJump(Opcode::Jump, end);
  placeLabel(otherwise);
  expression(node->elseValue);
  placeLabel(end);
}

// The list is stored last first, so the last source argument is evaluated first.
void CodeGenerator::arguments(const Node* list, uint32_t count) {
  for (const Node* argument = list; argument; argument = argument->next) expression(argument);
  emitCount(count);
}

void CodeGenerator::newExpression(const NewNode* node) {
  arguments(node->arguments, node->count);
  expression(node->constructor);
  emit(Opcode::New);
  emit(Opcode::Swap);
  emitCollapse(node->count + 2);
}

// The Array constructor tells a literal from a call by the negated count.
void CodeGenerator::arrayLiteral(const ArrayNode* node) {
  for (const Node* element = node->elements; element; element = element->next) expression(element);
  emitInt(Opcode::PushInt, -int64_t(node->count));
  emitName(Opcode::GetGlobal, kArrayClassName);
  emit(Opcode::New);
  emit(Opcode::Swap);
  emitCollapse(node->count + 2);
}

void CodeGenerator::newPlainObject() {
  emit(Opcode::PushZero);
  emitName(Opcode::GetGlobal, kObjectClassName);
  emit(Opcode::New);
  emit(Opcode::Swap);
  emitInt(Opcode::Collapse, 2);
}

// Properties are stored last first, so of two equal keys the first in the source is written
// last and wins.
void CodeGenerator::objectLiteral(const ObjectNode* node) {
  newPlainObject();
  for (const PropertyItem* p = node->properties; p; p = static_cast<const PropertyItem*>(p->next)) {
    LineScope line(line_, p->line);
    emit(Opcode::Dup);
    expression(p->value);
    emit(Opcode::Swap);
    if (p->keyKind == kTokenIdentifier) {
      emitName(Opcode::SetProperty, p->key.string->view());
      continue;
    }
    Instruction& key = emit(Opcode::PushConst);
    if (p->keyKind == kTokenInteger) {
      key.kind = PoolKind::Integer;
      key.integer = p->key.integer;
    } else {
      key.kind = PoolKind::String;
      key.text = p->key.string->view();
    }
    emit(Opcode::SetElement);
  }
}

}  // namespace vexil::script
