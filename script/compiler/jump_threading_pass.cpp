// Jump threading: a jump whose target label is followed (past other labels and function markers)
// by a Jump goes straight to that Jump's target.
#include <unordered_map>
#include <unordered_set>

#include "script/compiler/optimizer.h"

namespace vexil::script {

void runJumpThreading(InstructionList& list) {
  // What each label leads to: the target of the Jump right after it, or itself.
  std::unordered_map<int64_t, int64_t> onward;
  for (size_t at = 0; at < list.size(); ++at) {
    if (!list[at].isLabel()) continue;
    size_t k = at + 1;
    while (k < list.size() && list[k].isMarker()) ++k;
    if (k < list.size() && list[k].is(Opcode::Jump)) onward[list[at].integer] = list[k].integer;
  }
  for (auto& instruction : list) {
    if (!instruction.isJump()) continue;
    std::unordered_set<int64_t> seen;  // a loop of jumps (an empty endless loop) stops the walk
    int64_t target = instruction.integer;
    for (auto it = onward.find(target); it != onward.end() && seen.insert(target).second; it = onward.find(target))
      target = it->second;
    instruction.integer = target;
  }
}

}  // namespace vexil::script
