#include "script/compiler/control_contexts.h"

namespace vexil::script {

void ControlContexts::reset() {
  stack_.clear();
  stack_.push_back({});
}

std::optional<ControlExit> ControlContexts::findBreak(std::string_view label) const { return find(label, false); }

std::optional<ControlExit> ControlContexts::findContinue(std::string_view label) const { return find(label, true); }

// Walks outwards; the with statements and try blocks of every context up to and including the
// target are left, and the values kept by the contexts passed (not the target's own) are dropped.
std::optional<ControlExit> ControlContexts::find(std::string_view label, bool isContinue) const {
  ControlExit exit{0, 0, 0, 0};
  for (size_t i = stack_.size(); i-- > 1;) {
    const ControlContext& context = stack_[i];
    exit.scopes += context.withCount;
    exit.handlers += context.tryCount;
    int32_t target = isContinue ? context.continueLabel : context.breakLabel;
    bool named = !label.empty() && context.label == label;
    bool plain = label.empty() && context.plainTarget;
    if (target != 0 && (named || plain)) {
      exit.label = target;
      return exit;
    }
    exit.values += context.keptValues;
  }
  return std::nullopt;
}

}  // namespace vexil::script
