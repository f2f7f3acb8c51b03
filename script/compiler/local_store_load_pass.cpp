// Local store/load: `SetLocal n; GetLocal n` stores a value only to push it again. When local n
// is not read again before it is next written, both go and the value simply stays on the stack.
//
// Liveness is a backward data-flow over each function, one bit per local number modulo 32. A
// bit shared by two locals of the function is never cleared by a store (a store to one says
// nothing about the other), so sharing only makes the pass more careful. Code reached by a try
// handler can run after any instruction of the function, so what the handlers read counts as live
// everywhere.
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "script/compiler/optimizer.h"

namespace vexil::script {
namespace {

bool endsFlow(const Instruction& i) {
  return i.is(Opcode::Jump) || i.is(Opcode::Return) || i.is(Opcode::Throw) || i.is(Opcode::End) ||
         i.is(Opcode::Halt);
}

bool isLocalAccess(const Instruction& i) {
  return i.is(Opcode::GetLocal) || i.is(Opcode::SetLocal) || i.is(Opcode::DeleteLocal);
}

uint32_t bitOf(int64_t local) { return 1u << (uint64_t(local) % 32); }

class FunctionLiveness {
 public:
  FunctionLiveness(InstructionList& list, size_t begin, size_t end) : list_(list), begin_(begin), end_(end) {}

  void run() {
    if (!hasCandidatePair()) return;
    findSharedBits();
    mapLabels();
    solve();
    removeDeadPairs();
  }

 private:
  bool hasCandidatePair() const {
    for (size_t at = begin_; at + 1 < end_; ++at)
      if (isPair(at)) return true;
    return false;
  }
  bool isPair(size_t at) const {
    return list_[at].is(Opcode::SetLocal) && list_[at + 1].is(Opcode::GetLocal) &&
           list_[at].integer == list_[at + 1].integer;
  }
  void findSharedBits() {
    std::unordered_map<uint32_t, int64_t> owner;
    for (size_t at = begin_; at < end_; ++at) {
      if (!isLocalAccess(list_[at])) continue;
      auto [it, fresh] = owner.emplace(bitOf(list_[at].integer), list_[at].integer);
      if (!fresh && it->second != list_[at].integer) shared_ |= it->first;
    }
  }
  void mapLabels() {
    for (size_t at = begin_; at < end_; ++at)
      if (list_[at].isLabel()) labels_[list_[at].integer] = at;
  }
  uint32_t liveIn(size_t at) const { return at < end_ ? in_[at - begin_] : 0; }
  uint32_t liveOut(size_t at) const {
    const Instruction& i = list_[at];
    uint32_t live = handlers_;
    if (!endsFlow(i)) live |= liveIn(at + 1);
    if (i.isJump()) {
      auto target = labels_.find(i.integer);
      if (target != labels_.end()) live |= liveIn(target->second);
    }
    return live;
  }
  void solve() {
    in_.assign(end_ - begin_, 0);
    for (bool changed = true; changed;) {
      changed = false;
      for (size_t at = end_; at-- > begin_;) {
        const Instruction& i = list_[at];
        uint32_t live = liveOut(at);
        if (i.is(Opcode::SetLocal) && !(shared_ & bitOf(i.integer))) live &= ~bitOf(i.integer);
        if (i.is(Opcode::GetLocal) || i.is(Opcode::DeleteLocal)) live |= bitOf(i.integer);
        uint32_t& slot = in_[at - begin_];
        if (slot != live) {
          slot = live;
          changed = true;
        }
      }
      uint32_t handlers = 0;
      for (size_t at = begin_; at < end_; ++at) {
        if (!list_[at].is(Opcode::EnterTry)) continue;
        auto target = labels_.find(list_[at].integer);
        if (target != labels_.end()) handlers |= liveIn(target->second);
      }
      if (handlers != handlers_) {
        handlers_ = handlers;
        changed = true;
      }
    }
  }
  void removeDeadPairs() {
    for (size_t at = begin_; at + 1 < end_; ++at) {
      if (!isPair(at) || (liveOut(at + 1) & bitOf(list_[at].integer))) continue;
      list_[at].removed = list_[at + 1].removed = true;
      ++at;
    }
  }

  InstructionList& list_;
  size_t begin_, end_;
  uint32_t shared_ = 0;
  uint32_t handlers_ = 0;
  std::unordered_map<int64_t, size_t> labels_;
  std::vector<uint32_t> in_;
};

}  // namespace

void runLocalStoreLoad(InstructionList& list) {
  size_t begin = 0;
  for (size_t at = 0; at <= list.size(); ++at) {
    if (at < list.size() && !list[at].isFunction()) continue;
    if (at > begin) FunctionLiveness(list, begin, at).run();
    begin = at;
  }
  compactInstructions(list);
}

}  // namespace vexil::script
