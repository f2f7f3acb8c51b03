// Each optimisation pass on a small hand-made instruction list.
#include <gtest/gtest.h>

#include <deque>
#include <string>

#include "script/compiler/instruction_list.h"
#include "script/compiler/optimizer.h"

namespace vexil::script::test {
namespace {

// Instructions hold views of their texts: keep the texts alive.
std::string_view keep(std::string text) {
  static std::deque<std::string> texts;
  return texts.emplace_back(std::move(text));
}

// A tiny assembler: "Name" or "Name operand" items; "L3:" is label 3; "f:" a function marker.
Instruction make(const std::string& item) {
  Instruction i;
  if (item.back() == ':') {
    if (item[0] == 'L') {
      i.opcode = kLabelMarker;
      i.integer = std::stoll(item.substr(1));
    } else {
      i.opcode = kFunctionMarker;
      i.text = keep(item.substr(0, item.size() - 1));
    }
    return i;
  }
  std::string name = item.substr(0, item.find(' '));
  for (int code = kFirstOpcode; code <= kLastOpcode; ++code) {
    if (name != opcodeInfo(code).name) continue;
    i.opcode = code;
    i.size = uint8_t(instructionBytes(code));
    int effect = opcodeInfo(code).stackEffect;
    i.effect = effect == kEffectCall ? 1 : (effect >= kEffectSpecial ? 0 : effect);
    if (item.size() > name.size()) {
      std::string operand = item.substr(name.size() + 1);
      if (operand[0] == 'L') operand = operand.substr(1);
      if (isdigit(uint8_t(operand[0])) || operand[0] == '-')
        i.integer = std::stoll(operand);
      else
        i.text = keep(operand);
    }
    if (i.is(Opcode::Collapse) || i.is(Opcode::PopN)) i.effect = -int32_t(i.integer);
    return i;
  }
  ADD_FAILURE() << "unknown instruction " << item;
  return i;
}

InstructionList assemble(const std::string& text) {
  InstructionList list;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find("; ", start);
    if (end == std::string::npos) end = text.size();
    list.push_back(make(text.substr(start, end - start)));
    start = end + 2;
  }
  return list;
}

std::string show(const InstructionList& list) {
  std::string out;
  for (const auto& i : list) {
    if (!out.empty()) out += "; ";
    if (i.isLabel()) {
      out += "L" + std::to_string(i.integer) + ":";
    } else if (i.isFunction()) {
      out += std::string(i.text) + ":";
    } else {
      out += opcodeInfo(i.opcode).name;
      if (i.isJump()) out += " L" + std::to_string(i.integer);
      else if (!i.text.empty()) out += " " + std::string(i.text);
      else if (opcodeInfo(i.opcode).form != OperandForm::None) out += " " + std::to_string(i.integer);
    }
  }
  return out;
}

struct PassCase {
  const char* input;
  const char* output;
};

void expectPass(void (*pass)(InstructionList&), std::initializer_list<PassCase> cases) {
  for (const auto& c : cases) {
    InstructionList list = assemble(c.input);
    pass(list);
    EXPECT_EQ(show(list), c.output) << c.input;
  }
}

TEST(Peephole, RemovesDupAndPopAroundAConsumedCopy) {
  expectPass(runPeephole, {
      {"GetGlobal a; Dup; SetGlobal b; Pop", "GetGlobal a; SetGlobal b"},
      {"GetGlobal a; Dup; GetGlobal o; SetProperty p; Pop", "GetGlobal a; GetGlobal o; SetProperty p"},
      // The original is still in use, or the scan meets what it cannot follow: nothing changes.
      {"GetGlobal a; Dup; SetGlobal b; SetGlobal c", "GetGlobal a; Dup; SetGlobal b; SetGlobal c"},
      {"GetGlobal a; Dup; Jump L1; Pop; L1:", "GetGlobal a; Dup; Jump L1; Pop; L1:"},
      {"GetGlobal a; Dup; L1:; SetGlobal b; Pop", "GetGlobal a; Dup; L1:; SetGlobal b; Pop"},
      {"GetGlobal a; Dup; Pop; Pop", "GetGlobal a; Pop"},
  });
}

TEST(Peephole, FoldsCollapsePopAndConstantConditions) {
  expectPass(runPeephole, {
      {"CallValue; Collapse 3; Pop", "CallValue; PopN 4"},
      {"Collapse 255; Pop", "Collapse 255; Pop"},  // PopN 256 would not fit its byte
      {"PushTrue; JumpIfFalse L1; L1:", "L1:"},
      {"PushFalse; JumpIfTrueFast L1; L1:", "L1:"},
      {"PushFalse; JumpIfFalseFast L1; L1:", "Jump L1; L1:"},
      {"PushTrue; JumpIfTrue L1; L1:", "Jump L1; L1:"},
  });
}

TEST(JumpThreading, FollowsJumpsPastLabelsAndStopsAtLoops) {
  expectPass(runJumpThreading, {
      {"JumpIfFalse L1; L1:; L2:; Jump L3; L3:", "JumpIfFalse L3; L1:; L2:; Jump L3; L3:"},
      {"Jump L1; L1:; Jump L2; L2:; Jump L3; L3:", "Jump L3; L1:; Jump L3; L2:; Jump L3; L3:"},
      // An endless loop of jumps stays an endless loop.
      {"L1:; Jump L2; L2:; Jump L1", "L1:; Jump L2; L2:; Jump L1"},
      {"L1:; Jump L1", "L1:; Jump L1"},
  });
}

TEST(LocalStoreLoad, RemovesAStoreAndLoadOfADeadLocal) {
  expectPass(runLocalStoreLoad, {
      {"f:; PushOne; SetLocal 0; GetLocal 0; Return", "f:; PushOne; Return"},
      // Read again later: kept.
      {"f:; PushOne; SetLocal 0; GetLocal 0; Pop; GetLocal 0; Return",
       "f:; PushOne; SetLocal 0; GetLocal 0; Pop; GetLocal 0; Return"},
      // Written again before any read: removed.
      {"f:; PushOne; SetLocal 0; GetLocal 0; SetLocal 0; GetLocal 0; Return", "f:; PushOne; Return"},
      // Read around a loop: kept.
      {"f:; L1:; GetLocal 0; SetLocal 0; GetLocal 0; Pop; Jump L1",
       "f:; L1:; GetLocal 0; SetLocal 0; GetLocal 0; Pop; Jump L1"},
      // Read by a try handler: kept.
      {"f:; EnterTry L1; PushOne; SetLocal 0; GetLocal 0; Throw; L1:; GetLocal 0; Return",
       "f:; EnterTry L1; PushOne; SetLocal 0; GetLocal 0; Throw; L1:; GetLocal 0; Return"},
      // Locals 0 and 32 share a bit: a store to 32 does not make 0 dead.
      {"f:; PushOne; SetLocal 0; GetLocal 0; SetLocal 32; GetLocal 0; Return",
       "f:; PushOne; SetLocal 0; GetLocal 0; SetLocal 32; GetLocal 0; Return"},
      // Each function on its own: a read in the next function does not count.
      {"f:; PushOne; SetLocal 0; GetLocal 0; Return; g:; GetLocal 0; Return",
       "f:; PushOne; Return; g:; GetLocal 0; Return"},
  });
}

TEST(DeadCode, RemovesUnusedLabelsUnreachableCodeAndJumpsToTheNextInstruction) {
  expectPass(runDeadCode, {
      {"L1:; PushOne", "PushOne"},
      {"Return; PushOne; Pop; L1:; PushTwo; Jump L1", "Return; L1:; PushTwo; Jump L1"},
      {"Jump L1; PushOne; L1:; Return", "Return"},
      {"Jump L2; L1:; L2:; Return; g:; Jump L1", "L1:; Return; g:; Jump L1"},
      // Repeats: removing the jump frees its label, which frees the code after the Return.
      {"Return; f:; Jump L1; L1:; PushOne", "Return; f:; PushOne"},
  });
}

}  // namespace
}  // namespace vexil::script::test
