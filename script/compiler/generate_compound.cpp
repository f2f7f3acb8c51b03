// Code for the statements that keep values on the operand stack while their bodies run: switch
// (its discriminant), for-in (the object and the index) and try (the pending-exception flag).
#include "script/compiler/code_generator.h"

#include <vector>

#include "script/compiler/compilation.h"

namespace vexil::script {

// Each clause has a test label (where a failed test goes) and a body label (where the previous
// body falls through to). A case tests Dup, its value, StrictEqual; the default clause is never
// tested: its test just passes on to the next test, and after the last test control goes to the
// default body, or to the end. The end pops the discriminant.
void CodeGenerator::switchStatement(const SwitchNode* node) {
  expression(node->discriminant);
  std::vector<const ClauseItem*> clauses;
  for (const Node* c = node->clauses; c; c = c->next) clauses.push_back(static_cast<const ClauseItem*>(c));
  std::vector<int32_t> tests(clauses.size() + 1), bodies(clauses.size() + 1);
  for (size_t i = 0; i <= clauses.size(); ++i) {
    tests[i] = newLabel();
    bodies[i] = newLabel();
  }
  int32_t end = bodies.back();
  int32_t defaultBody = end;
  for (size_t i = 0; i < clauses.size(); ++i)
    if (!clauses[i]->test) defaultBody = bodies[i];

  ControlContext context;
  context.breakLabel = end;
  context.plainTarget = true;
  context.keptValues = 1;
  contexts_.push(context);
  for (size_t i = 0; i < clauses.size(); ++i) {
    const ClauseItem* clause = clauses[i];
    setLine(clause->line);
    placeLabel(tests[i]);
    if (clause->test) {
      emit(Opcode::Dup);
      expression(clause->test);
      emit(Opcode::StrictEqual);
      emitJump(Opcode::JumpIfFalseFast, tests[i + 1]);
    } else {
      emitJump(Opcode::Jump, tests[i + 1]);
    }
    placeLabel(bodies[i]);
    statements(clause->statements);
    emitJump(Opcode::Jump, bodies[i + 1]);
  }
  contexts_.pop();
  setLine(node->closeLine);
  placeLabel(tests.back());
  emitJump(Opcode::Jump, defaultBody);
  placeLabel(end);
  emit(Opcode::Pop);
}

// The stack holds [object, index] while the body runs; ForInNext turns a copy of the pair into
// [item, more].
void CodeGenerator::forInStatement(const ForInNode* node, std::string_view label) {
  int32_t top = newLabel();
  int32_t next = newLabel();
  int32_t exhausted = newLabel();
  int32_t end = newLabel();
  uint32_t local = 0;
  if (node->declaration) {
    scopes_.open();
    local = declareLocal(node->declaration->name->view());
    if (node->declaration->initial) {
      expression(node->declaration->initial);
      emitInt(Opcode::SetLocal, local);
    }
  }
  expression(node->object);
  emit(Opcode::Dup);
  emit(Opcode::PushZero);
  emit(Opcode::Swap);
  emit(Opcode::PushZero);  // [object, 0, object, 0]
  placeLabel(top);
  emit(Opcode::ForInNext);
  emitJump(Opcode::JumpIfFalseFast, exhausted);
  if (node->declaration)
    emitInt(Opcode::SetLocal, local);
  else
    storeTarget(node->target);
  pushLoopContext(end, next, label, 2);
  statement(node->body);
  contexts_.pop();
  setLine(node->line);
  placeLabel(next);
  emit(Opcode::PushOne);
  emit(Opcode::Add);         // [object, i + 1]
  emit(Opcode::Dup);         // [object, i + 1, i + 1]
  emitInt(Opcode::Roll, -3); // [i + 1, i + 1, object]
  emit(Opcode::Dup);         // [i + 1, i + 1, object, object]
  emitInt(Opcode::Roll, 4);  // [object, i + 1, i + 1, object]
  emit(Opcode::Swap);        // [object, i + 1, object, i + 1]
  emitJump(Opcode::Jump, top);
  placeLabel(exhausted);
  emit(Opcode::Pop);
  placeLabel(end);
  emitInt(Opcode::PopN, 2);
  if (node->declaration) scopes_.close();
}

// The handled flag travels on the stack: false means nothing is pending when the finally part
// runs, true with the exception beneath it means the finally part ends by rethrowing it.
void CodeGenerator::tryStatement(const TryNode* node) {
  int32_t catchLabel = newLabel();
  int32_t finallyLabel = newLabel();
  int32_t end = newLabel();
  setLine(node->tryLine);
  emitJump(Opcode::EnterTry, catchLabel);
  ++tryDepth_;
  ++contexts_.innermost().tryCount;
  statement(node->body);
  --contexts_.innermost().tryCount;
  --tryDepth_;
  emitInt(Opcode::PopHandlers, 1);
  emit(Opcode::PushFalse);
  emitJump(Opcode::Jump, finallyLabel);
  placeLabel(catchLabel);
  if (node->catches) {
    catchClauses(node->catches, finallyLabel);
  } else {
    emit(Opcode::PushTrue);
  }
  placeLabel(finallyLabel);
  if (node->finallyStatement) {
    // The flag (and maybe the exception) lies under the finally part: a jump out drops it.
    ControlContext region;
    region.keptValues = 1;
    contexts_.push(region);
    statement(node->finallyStatement);
    contexts_.pop();
  }
  setLine(node->endLine);
  emitJump(Opcode::JumpIfFalseFast, end);
  emit(Opcode::Throw);
  placeLabel(end);
}

// [false, exception] under a handler that catches what the clauses throw. Clauses are tried in
// order; the first that applies runs and the rest are skipped.
void CodeGenerator::catchClauses(const CatchItem* clauses, int32_t finallyLabel) {
  int32_t none = newLabel();
  int32_t handled = newLabel();
  int32_t rethrow = newLabel();
  emit(Opcode::PushFalse);
  emit(Opcode::Swap);
  emitJump(Opcode::EnterTry, rethrow);
  ControlContext region;
  region.keptValues = 2;
  region.tryCount = 1;
  contexts_.push(region);
  ++tryDepth_;
  for (const CatchItem* c = clauses; c; c = static_cast<const CatchItem*>(c->next)) catchClause(c, none);
  --tryDepth_;
  contexts_.pop();
  placeLabel(none);
  emitInt(Opcode::PopHandlers, 1);
  emit(Opcode::Swap);
  emitJump(Opcode::JumpIfTrueFast, handled);
  emit(Opcode::PushTrue);  // still pending
  emitJump(Opcode::Jump, finallyLabel);
  placeLabel(handled);
  emit(Opcode::Pop);
  emit(Opcode::PushFalse);
  emitJump(Opcode::Jump, finallyLabel);
  placeLabel(rethrow);  // a clause threw: its value replaces the pair
  emitInt(Opcode::Collapse, 2);
  emit(Opcode::PushTrue);
}

void CodeGenerator::catchClause(const CatchItem* clause, int32_t none) {
  setLine(clause->line);
  int32_t nextTest = clause->next ? newLabel() : none;
  int32_t body = newLabel();
  scopes_.open();
  uint32_t local = declareLocal(clause->name->view());
  emit(Opcode::Dup);
  emitInt(Opcode::SetLocal, local);
  if (clause->guard) {
    int32_t guardThrew = newLabel();
    emitJump(Opcode::EnterTry, guardThrew);
    expression(clause->guard);
    emitInt(Opcode::PopHandlers, 1);
    emitJump(Opcode::JumpIfFalse, nextTest);
    emitJump(Opcode::Jump, body);
    placeLabel(guardThrew);
    emit(Opcode::Pop);
    emitJump(Opcode::Jump, nextTest);
  }
  placeLabel(body);
  emit(Opcode::Swap);
  emit(Opcode::Pop);
  emit(Opcode::PushTrue);
  emit(Opcode::Swap);  // [true, exception]
  statement(clause->body);
  emitJump(Opcode::Jump, none);
  scopes_.close();
  if (nextTest != none) placeLabel(nextTest);
}

}  // namespace vexil::script
