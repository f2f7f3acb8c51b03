#include "script/compiler/optimizer.h"

namespace vexil::script {

void runOptimisationPasses(InstructionList& list) {
  runPeephole(list);
  runJumpThreading(list);
  runLocalStoreLoad(list);
  runDeadCode(list);
}

}  // namespace vexil::script
