// The code generator's core: emitting instructions, functions and ".main", and identifiers.
#include "script/compiler/code_generator.h"

#include "script/compiler/compilation.h"
#include "script/compiler/compiled_script.h"
#include "script/compiler/compiled_writer.h"
#include "script/compiler/optimizer.h"

namespace vexil::script {

void generateProgram(Compilation& compilation, CompiledWriter& writer) {
  CodeGenerator(compilation, writer).generateProgram();
}

CodeGenerator::CodeGenerator(Compilation& compilation, CompiledWriter& writer) : c_(compilation), writer_(writer) {}

void CodeGenerator::generateProgram() {
  for (const Node* f = c_.parser.functions.head; f; f = f->next) {
    generateFunction(static_cast<const FunctionNode*>(f));
    finishFunction();
  }
  generateMain();
  finishFunction();
}

void CodeGenerator::finishFunction() {
  runOptimisationPasses(out_);
  writer_.addFunction(out_);
  out_.clear();
}

Instruction& CodeGenerator::emit(Opcode op) {
  Instruction& instruction = out_.emplace_back();
  instruction.opcode = int(op);
  instruction.line = line_;
  instruction.size = uint8_t(instructionBytes(int(op)));
  int effect = opcodeInfo(int(op)).stackEffect;
  // A call leaves its result above the arguments; the Collapse after it removes them.
  if (effect == kEffectCall) effect = 1;
  if (effect == kEffectSpecial || effect == kEffectReserve) effect = 0;
  instruction.effect = effect;
  return instruction;
}

void CodeGenerator::emitInt(Opcode op, int64_t operand) {
  Instruction& instruction = emit(op);
  instruction.integer = operand;
  if (op == Opcode::Collapse || op == Opcode::PopN) instruction.effect = -int32_t(operand);
  if (op == Opcode::ReserveLocals) instruction.effect = int32_t(operand);
}

void CodeGenerator::emitName(Opcode op, std::string_view name) { emit(op).text = name; }

void CodeGenerator::emitJump(Opcode op, int32_t label) { emit(op).integer = label; }

void CodeGenerator::placeLabel(int32_t label) {
  Instruction& marker = out_.emplace_back();
  marker.opcode = kLabelMarker;
  marker.line = line_;
  marker.integer = label;
}

void CodeGenerator::emitCount(uint32_t count) {
  static constexpr Opcode kSmall[] = {Opcode::PushZero, Opcode::PushOne, Opcode::PushTwo, Opcode::PushThree};
  if (count < 4)
    emit(kSmall[count]);
  else
    emitInt(Opcode::PushInt, count);
}

// Collapse and PopN take one byte; longer runs are split, which keeps the same top value.
void CodeGenerator::emitCollapse(uint32_t count) {
  while (count > 255) {
    emitInt(Opcode::Collapse, 255);
    count -= 255;
  }
  emitInt(Opcode::Collapse, count);
}

void CodeGenerator::emitPopValues(uint32_t count) {
  if (count == 1) emit(Opcode::Pop);
  while (count > 1) {
    uint32_t step = count > 255 ? 255 : count;
    emitInt(Opcode::PopN, step);
    count -= step;
  }
}

// Boolean-typed conditions use the fast jumps, which skip the conversion.
void CodeGenerator::emitConditionalJump(const Node* condition, bool jumpIfTrue, int32_t label) {
  bool fast = condition->type == StaticType::Boolean;
  Opcode op = jumpIfTrue ? (fast ? Opcode::JumpIfTrueFast : Opcode::JumpIfTrue)
                         : (fast ? Opcode::JumpIfFalseFast : Opcode::JumpIfFalse);
  emitJump(op, label);
}

size_t CodeGenerator::reserveLocalsPlaceholder() {
  emitInt(Opcode::ReserveLocals, 0);
  return out_.size() - 1;
}

// The number of locals is known only after the body: the placeholder gets it now, or goes.
void CodeGenerator::finishLocals(size_t placeholder) {
  uint32_t count = scopes_.localsNeeded();
  if (count > kMaxLocalCount) c_.diagnostics.error(line_, "%s", kTooManyLocals);
  Instruction& reserve = out_[placeholder];
  reserve.integer = count;
  reserve.effect = int32_t(count);
  if (count == 0) reserve.removed = true;
}

uint32_t CodeGenerator::declareLocal(std::string_view name) { return scopes_.declareLocal(name); }

void CodeGenerator::generateFunction(const FunctionNode* function) {
  setLine(function->line);
  scopes_.beginFunction();
  contexts_.reset();
  withDepth_ = tryDepth_ = 0;
  if (function->parameterCount > kMaxFrameSlot - kFirstParameterSlot)
    c_.diagnostics.error(function->line, "%s", kTooManyParameters);
  uint32_t slot = kFirstParameterSlot;
  for (const Node* p = function->parameters; p; p = p->next)
    scopes_.declareParameter(static_cast<const IdentifierNode*>(p)->name->view(), slot++);

  std::string_view name = function->internalName->view();
  Instruction& marker = out_.emplace_back();
  marker.opcode = kFunctionMarker;
  marker.line = line_;
  marker.text = name;

  // Missing arguments read as undefined: the frame is padded to every parameter's slot.
  emitInt(Opcode::GetArg, kCountSlot);
  emit(Opcode::AddTwo);
  emitInt(Opcode::PadArgs, function->parameterCount + kFirstParameterSlot);
  size_t placeholder = reserveLocalsPlaceholder();
  if (function->usesArguments) buildArgumentsObject(declareLocal(kArgumentsName), name);
  statements(function->body->statements);
  setLine(function->endLine);
  emit(Opcode::PushUndefined);
  emit(Opcode::Return);
  finishLocals(placeholder);
}

// `arguments` is a plain object holding the arguments as elements 0…count-1, with "length" and
// "callee" beside them:
//   i = 0; while (!(i >= count)) { arguments[i] = slot(i + 2); ++i; }
void CodeGenerator::buildArgumentsObject(uint32_t local, std::string_view functionName) {
  newPlainObject();
  emitInt(Opcode::SetLocal, local);
  int32_t loop = newLabel();
  int32_t done = newLabel();
  emit(Opcode::PushZero);
  placeLabel(loop);
  emit(Opcode::Dup);
  emitInt(Opcode::GetArg, kCountSlot);
  emit(Opcode::GreaterEqual);
  emitJump(Opcode::JumpIfTrueFast, done);
  emit(Opcode::Dup);                        // [i, i]
  emit(Opcode::Dup);                        // [i, i, i]
  emit(Opcode::AddTwo);                     // [i, i, i + 2]
  emit(Opcode::PushArgN);                   // [i, i, argument]
  emit(Opcode::Swap);                       // [i, argument, i]
  emitInt(Opcode::GetLocal, local);         // [i, argument, i, object]
  emit(Opcode::Swap);                       // [i, argument, object, i]
  emit(Opcode::SetElement);                 // [i]
  emit(Opcode::Increment);
  emitJump(Opcode::Jump, loop);
  placeLabel(done);
  emit(Opcode::Pop);
  emitInt(Opcode::GetArg, kCountSlot);
  emitInt(Opcode::GetLocal, local);
  emitName(Opcode::SetProperty, kLengthName);
  emitName(Opcode::GetGlobal, functionName);
  emitInt(Opcode::GetLocal, local);
  emitName(Opcode::SetProperty, kCalleeName);
}

// ".main" exists only when there are top-level statements. It has no Return: the run ends at
// the End the loader appends, with the value of a final expression statement left as its result.
void CodeGenerator::generateMain() {
  const NodeList& main = c_.parser.main;
  if (!main.head) return;
  setLine(main.head->line);
  scopes_.beginFunction();
  contexts_.reset();
  withDepth_ = tryDepth_ = 0;
  Instruction& marker = out_.emplace_back();
  marker.opcode = kFunctionMarker;
  marker.line = line_;
  marker.text = kMainFunctionName;
  size_t placeholder = reserveLocalsPlaceholder();
  lastStatementPop_ = SIZE_MAX;
  statements(main.head);
  if (main.tail->kind == NodeKind::ExpressionStatement && lastStatementPop_ == out_.size() - 1)
    out_.pop_back();
  else
    emit(Opcode::PushUndefined);
  finishLocals(placeholder);
}

void CodeGenerator::loadIdentifier(std::string_view name) {
  if (const LocalSymbol* symbol = scopes_.find(name)) {
    emitInt(symbol->kind == SymbolKind::Parameter ? Opcode::GetArg : Opcode::GetLocal, symbol->number);
    return;
  }
  emitName(withDepth_ ? Opcode::PushVarScoped : Opcode::GetGlobal, name);
}

void CodeGenerator::storeIdentifier(std::string_view name) {
  if (const LocalSymbol* symbol = scopes_.find(name)) {
    emitInt(symbol->kind == SymbolKind::Parameter ? Opcode::SetArg : Opcode::SetLocal, symbol->number);
    return;
  }
  emitName(withDepth_ ? Opcode::SetVarScoped : Opcode::SetGlobal, name);
}

void CodeGenerator::deleteIdentifier(std::string_view name) {
  emit(Opcode::PushNull);
  if (withDepth_) {
    emitName(Opcode::DeleteVarScoped, name);
  } else if (const LocalSymbol* symbol = scopes_.find(name)) {
    emitInt(symbol->kind == SymbolKind::Parameter ? Opcode::DeleteArg : Opcode::DeleteLocal, symbol->number);
  } else {
    emitName(Opcode::DeleteGlobal, name);
  }
}

}  // namespace vexil::script
