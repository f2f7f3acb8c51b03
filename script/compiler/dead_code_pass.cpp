// Dead code, repeated until nothing changes: labels no jump targets, instructions that no path
// reaches (after a Return or a Jump, up to the next label or function), and jumps to the place
// they would fall through to anyway.
#include <unordered_set>

#include "script/compiler/optimizer.h"

namespace vexil::script {
namespace {

bool removeUnusedLabels(InstructionList& list) {
  std::unordered_set<int64_t> targets;
  for (const auto& i : list)
    if (i.isJump()) targets.insert(i.integer);
  bool changed = false;
  for (auto& i : list)
    if (i.isLabel() && !targets.count(i.integer)) i.removed = changed = true;
  return changed;
}

bool removeUnreachable(InstructionList& list) {
  bool changed = false;
  bool unreachable = false;
  for (auto& i : list) {
    if (i.isMarker()) {
      unreachable = false;
    } else if (unreachable) {
      i.removed = changed = true;
    } else if (i.is(Opcode::Return) || i.is(Opcode::Jump)) {
      unreachable = true;
    }
  }
  return changed;
}

// A label between the jump and its target changes nothing: control reaches the target either way.
bool removeJumpsToNext(InstructionList& list) {
  bool changed = false;
  for (size_t at = 0; at < list.size(); ++at) {
    if (!list[at].is(Opcode::Jump)) continue;
    for (size_t k = at + 1; k < list.size() && list[k].isLabel(); ++k) {
      if (list[k].integer == list[at].integer) {
        list[at].removed = changed = true;
        break;
      }
    }
  }
  return changed;
}

}  // namespace

void runDeadCode(InstructionList& list) {
  for (bool changed = true; changed;) {
    changed = removeUnusedLabels(list);
    compactInstructions(list);
    changed |= removeUnreachable(list);
    compactInstructions(list);
    changed |= removeJumpsToNext(list);
    compactInstructions(list);
  }
}

}  // namespace vexil::script
