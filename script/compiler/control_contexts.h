#pragma once
// The constructs a break or continue can leave: loops, switches, labelled statements, and the
// regions of a try statement that keep values on the operand stack. Each entry counts the with
// statements and try blocks entered directly inside it and the values it keeps on the stack, so
// a jump out knows what to undo on the way.
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace vexil::script {

struct ControlContext {
  int32_t breakLabel = 0;     // 0: none
  int32_t continueLabel = 0;  // 0: none
  std::string_view label;     // the statement label naming it, if any
  bool plainTarget = false;   // loops and switches answer a break or continue without a label
  uint32_t keptValues = 0;    // a switch keeps its discriminant, a for-in its object and index
  uint32_t withCount = 0;
  uint32_t tryCount = 0;
};

// What a jump out of some contexts must undo before it jumps.
struct ControlExit {
  int32_t label;
  uint32_t scopes;    // PopScopes
  uint32_t handlers;  // PopHandlers
  uint32_t values;    // Pop or PopN
};

class ControlContexts {
 public:
  // Back to the one root entry.
  void reset();
  void push(const ControlContext& context) { stack_.push_back(context); }
  void pop() { stack_.pop_back(); }
  ControlContext& innermost() { return stack_.back(); }

  // The innermost target of a plain break (or continue), or the innermost context carrying the
  // label; nothing when there is none.
  std::optional<ControlExit> findBreak(std::string_view label) const;
  std::optional<ControlExit> findContinue(std::string_view label) const;

 private:
  std::optional<ControlExit> find(std::string_view label, bool isContinue) const;
  std::vector<ControlContext> stack_;
};

}  // namespace vexil::script
