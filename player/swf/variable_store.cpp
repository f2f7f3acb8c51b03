#include "player/swf/variable_store.h"

namespace vexil::swf {

void VariableStore::set(const VariableRef& ref, ActionValue value) {
  std::string name = key(ref);
  auto found = values_.find(name);
  size_t oldBytes = found == values_.end() ? 0 : found->second.text.size() + name.size();
  size_t newBytes = value.text.size() + name.size();
  if (textBytes_ - oldBytes + newBytes > kMaxTextBytes) return;
  if (found != values_.end()) {
    found->second = std::move(value);
  } else if (values_.size() < kMaxVariables) {
    values_.emplace(std::move(name), std::move(value));
  } else {
    return;
  }
  textBytes_ = textBytes_ - oldBytes + newBytes;
}

const ActionValue* VariableStore::find(const VariableRef& ref) const {
  auto found = values_.find(key(ref));
  return found == values_.end() ? nullptr : &found->second;
}

}  // namespace vexil::swf
