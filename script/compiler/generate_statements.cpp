// Code for statements: a statement leaves the operand stack as it found it.
#include "script/compiler/code_generator.h"

#include "script/compiler/compilation.h"

namespace vexil::script {

void CodeGenerator::statements(const Node* list) {
  for (const Node* s = list; s; s = s->next) statement(s);
}

void CodeGenerator::statement(const Node* node) {
  setLine(node->line);
  switch (node->kind) {
    case NodeKind::ExpressionStatement:
      expression(static_cast<const ExpressionStatementNode*>(node)->expression);
      setLine(node->line);
      emit(Opcode::Pop);
      lastStatementPop_ = out_.size() - 1;
      return;
    case NodeKind::VarStatement: varStatement(static_cast<const VarNode*>(node)); return;
    case NodeKind::Block:
      scopes_.open();
      statements(static_cast<const BlockNode*>(node)->statements);
      scopes_.close();
      return;
    case NodeKind::If: ifStatement(static_cast<const IfNode*>(node)); return;
    case NodeKind::While: whileStatement(static_cast<const LoopNode*>(node), {}); return;
    case NodeKind::DoWhile: doWhileStatement(static_cast<const LoopNode*>(node), {}); return;
    case NodeKind::For: forStatement(static_cast<const ForNode*>(node), {}); return;
    case NodeKind::ForIn: forInStatement(static_cast<const ForInNode*>(node), {}); return;
    case NodeKind::Labelled: labelled(static_cast<const LabelledNode*>(node)); return;
    case NodeKind::BreakStatement: jumpOut(static_cast<const JumpNode*>(node), false); return;
    case NodeKind::ContinueStatement: jumpOut(static_cast<const JumpNode*>(node), true); return;
    case NodeKind::ReturnStatement: returnStatement(static_cast<const ValueStatementNode*>(node)); return;
    case NodeKind::ThrowStatement:
      expression(static_cast<const ValueStatementNode*>(node)->value);
      emit(Opcode::Throw);
      return;
    case NodeKind::With: withStatement(static_cast<const WithNode*>(node)); return;
    case NodeKind::Switch: switchStatement(static_cast<const SwitchNode*>(node)); return;
    case NodeKind::Try: tryStatement(static_cast<const TryNode*>(node)); return;
    case NodeKind::LocalFunction: localFunction(static_cast<const LocalFunctionNode*>(node)); return;
    default:
      // Empty statements and function definitions: nothing in place.
      return;
  }
}

// At top level a var statement stores into globals (uninitialised ones need no code); anywhere
// else its names are locals of the current scope.
void CodeGenerator::varStatement(const VarNode* node) {
  if (!node->topLevel) {
    declarators(node->declarations);
    return;
  }
  for (const DeclaratorNode* d = node->declarations; d; d = static_cast<const DeclaratorNode*>(d->next)) {
    if (!d->initial) continue;
    expression(d->initial);
    emitName(Opcode::SetGlobal, d->name->view());
  }
}

void CodeGenerator::declarators(const DeclaratorNode* list) {
  for (const DeclaratorNode* d = list; d; d = static_cast<const DeclaratorNode*>(d->next)) {
    uint32_t local = declareLocal(d->name->view());
    if (!d->initial) continue;
    expression(d->initial);
    emitInt(Opcode::SetLocal, local);
  }
}

void CodeGenerator::ifStatement(const IfNode* node) {
  int32_t otherwise = newLabel();
  int32_t end = newLabel();
  expression(node->condition);
  emitConditionalJump(node->condition, false, otherwise);
  statement(node->thenStatement);
  emitJump(Opcode::Jump, end);
  placeLabel(otherwise);
  if (node->elseStatement) statement(node->elseStatement);
  placeLabel(end);
}

void CodeGenerator::pushLoopContext(int32_t breakLabel, int32_t continueLabel, std::string_view label,
                                    uint32_t kept) {
  ControlContext context;
  context.breakLabel = breakLabel;
  context.continueLabel = continueLabel;
  context.label = label;
  context.plainTarget = true;
  context.keptValues = kept;
  contexts_.push(context);
}

void CodeGenerator::whileStatement(const LoopNode* node, std::string_view label) {
  int32_t top = newLabel();
  int32_t end = newLabel();
  placeLabel(top);
  expression(node->condition);
  emitConditionalJump(node->condition, false, end);
  pushLoopContext(end, top, label);
  statement(node->body);
  contexts_.pop();
  setLine(node->line);
  emitJump(Opcode::Jump, top);
  placeLabel(end);
}

void CodeGenerator::doWhileStatement(const LoopNode* node, std::string_view label) {
  int32_t top = newLabel();
  int32_t next = newLabel();
  int32_t end = newLabel();
  placeLabel(top);
  pushLoopContext(end, next, label);
  statement(node->body);
  contexts_.pop();
  placeLabel(next);
  setLine(node->condition->line);
  expression(node->condition);
  emitConditionalJump(node->condition, true, top);
  placeLabel(end);
}

void CodeGenerator::forStatement(const ForNode* node, std::string_view label) {
  int32_t top = newLabel();
  int32_t next = newLabel();
  int32_t end = newLabel();
  bool scoped = node->declarations != nullptr;
  if (scoped) {
    scopes_.open();
    declarators(node->declarations);
  } else if (node->init) {
    expression(node->init);
    emit(Opcode::Pop);
  }
  placeLabel(top);
  if (node->condition) {
    expression(node->condition);
    emitConditionalJump(node->condition, false, end);
  } else {
    emit(Opcode::PushTrue);
    emitJump(Opcode::JumpIfFalseFast, end);
  }
  pushLoopContext(end, next, label);
  statement(node->body);
  contexts_.pop();
  setLine(node->line);
  placeLabel(next);
  if (node->step) {
    expression(node->step);
    emit(Opcode::Pop);
  }
  emitJump(Opcode::Jump, top);
  placeLabel(end);
  if (scoped) scopes_.close();
}

// A label on a loop names the loop itself, so `continue label` goes to the loop's next round
// (not back to its initialiser); a label on any other statement names a context of its own.
void CodeGenerator::labelled(const LabelledNode* node) {
  std::string_view label = node->label->view();
  int32_t top = newLabel();
  int32_t end = newLabel();
  placeLabel(top);
  ControlContext context;
  context.breakLabel = end;
  context.continueLabel = top;
  context.label = label;
  contexts_.push(context);
  const Node* inner = node->statement;
  setLine(inner->line);
  switch (inner->kind) {
    case NodeKind::While: whileStatement(static_cast<const LoopNode*>(inner), label); break;
    case NodeKind::DoWhile: doWhileStatement(static_cast<const LoopNode*>(inner), label); break;
    case NodeKind::For: forStatement(static_cast<const ForNode*>(inner), label); break;
    case NodeKind::ForIn: forInStatement(static_cast<const ForInNode*>(inner), label); break;
    default: statement(inner); break;
  }
  contexts_.pop();
  placeLabel(end);
}

void CodeGenerator::jumpOut(const JumpNode* node, bool isContinue) {
  std::string_view label = node->label ? node->label->view() : std::string_view();
  auto exit = isContinue ? contexts_.findContinue(label) : contexts_.findBreak(label);
  if (!exit) c_.diagnostics.error(node->line, "%s", isContinue ? kInvalidContinue : kInvalidBreak);
  if (exit->scopes) emitInt(Opcode::PopScopes, exit->scopes);
  if (exit->handlers) emitInt(Opcode::PopHandlers, exit->handlers);
  emitPopValues(exit->values);
  emitJump(Opcode::Jump, exit->label);
}

// The value is computed before the try handlers are left, so a try around `return f()` still
// catches what f throws.
void CodeGenerator::returnStatement(const ValueStatementNode* node) {
  if (node->value)
    expression(node->value);
  else
    emit(Opcode::PushUndefined);
  if (tryDepth_) emitInt(Opcode::PopHandlers, tryDepth_);
  emit(Opcode::Return);
}

void CodeGenerator::withStatement(const WithNode* node) {
  expression(node->object);
  emit(Opcode::PushScope);
  ++withDepth_;
  ++contexts_.innermost().withCount;
  statement(node->body);
  --contexts_.innermost().withCount;
  --withDepth_;
  emitInt(Opcode::PopScopes, 1);
}

// The inner function becomes a property of the enclosing function object.
void CodeGenerator::localFunction(const LocalFunctionNode* node) {
  emitName(Opcode::GetGlobal, node->internalName->view());
  emitName(Opcode::GetGlobal, node->enclosingName->view());
  emitName(Opcode::SetProperty, node->declaredName->view());
}

}  // namespace vexil::script
