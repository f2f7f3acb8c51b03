#include "player/swf/variable_store.h"

namespace vexil::swf {

void VariableStore::set(const VariableRef& ref, ActionValue value) {
  values_[key(ref)] = std::move(value);
}

const ActionValue* VariableStore::find(const VariableRef& ref) const {
  auto found = values_.find(key(ref));
  return found == values_.end() ? nullptr : &found->second;
}

}  // namespace vexil::swf
