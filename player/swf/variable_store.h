#pragma once
// The movie's variables, one table for every timeline. Clips are not modelled as objects, so a
// variable on "/clip" simply lives under that target; a host can set and read it all the same.
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "player/swf/action_value.h"
#include "player/swf/variable_path.h"

namespace vexil::swf {

class VariableStore {
 public:
  void set(const VariableRef& ref, ActionValue value);
  const ActionValue* find(const VariableRef& ref) const;
  void clear() { values_.clear(); }
  size_t size() const { return values_.size(); }

 private:
  static std::string key(const VariableRef& ref) { return ref.target + ':' + ref.name; }
  std::map<std::string, ActionValue> values_;
};

}  // namespace vexil::swf
