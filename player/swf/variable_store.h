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
  // New names past this many are not stored (existing ones still change), and a value whose text
  // would take the store past kMaxTextBytes is not stored either: the old value stays.
  static constexpr size_t kMaxVariables = 1u << 20;
  static constexpr size_t kMaxTextBytes = 64u << 20;

  void set(const VariableRef& ref, ActionValue value);
  const ActionValue* find(const VariableRef& ref) const;
  void clear() {
    values_.clear();
    textBytes_ = 0;
  }
  size_t textBytes() const { return textBytes_; }
  size_t size() const { return values_.size(); }

 private:
  static std::string key(const VariableRef& ref) { return ref.target + ':' + ref.name; }
  std::map<std::string, ActionValue> values_;
  size_t textBytes_ = 0;  // of the stored values and names
};

}  // namespace vexil::swf
