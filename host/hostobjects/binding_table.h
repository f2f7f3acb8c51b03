#pragma once
// FlashPlayer's bindings between script values and movie variables: the bound paths with their
// last values, and the prefixes of those paths ("a" and "a.b" of "a.b.c"), counted, which read as
// MovieClip views. Paths compare without regard to ASCII case. The values live in the engine's
// heap, so the table marks them.
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

#include "script/runtime/value.h"

namespace vexil::script {
struct Engine;
}

namespace vexil::hostobjects {

class BindingTable {
 public:
  // Adds the path with an undefined value (nothing when it is bound already) and counts its
  // prefixes.
  void bind(std::u16string_view path);
  // Removes the path; a prefix whose count falls to 0 goes.
  void unbind(std::u16string_view path);
  void clear();

  // The bound value of path; null when the path is not bound.
  script::Value* value(std::u16string_view path);
  bool isPrefix(std::u16string_view path) const;
  size_t size() const { return bindings_.size(); }

  // Visits every binding as (path as bound, value).
  template <typename Visit>
  void forEach(Visit&& visit) {
    for (auto& [key, binding] : bindings_) visit(std::u16string_view(binding.path), binding.value);
  }

  void mark(script::Engine& engine) const;

 private:
  struct Binding {
    std::u16string path;
    script::Value value;
  };
  std::unordered_map<std::u16string, Binding> bindings_;  // by folded path
  std::unordered_map<std::u16string, uint32_t> prefixes_;  // folded prefix -> bound paths under it
};

}  // namespace vexil::hostobjects
