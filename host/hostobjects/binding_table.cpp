#include "host/hostobjects/binding_table.h"

#include "script/runtime/collector.h"

namespace vexil::hostobjects {

namespace {

std::u16string folded(std::u16string_view text) {
  std::u16string out(text);
  for (char16_t& c : out) {
    if (c >= u'A' && c <= u'Z') c = char16_t(c - u'A' + u'a');
  }
  return out;
}

// Each prefix that ends just before a ".", at least one character long.
template <typename Visit>
void forEachPrefix(const std::u16string& path, Visit&& visit) {
  for (size_t i = 1; i < path.size(); ++i) {
    if (path[i] == u'.') visit(path.substr(0, i));
  }
}

}  // namespace

void BindingTable::bind(std::u16string_view path) {
  std::u16string key = folded(path);
  if (bindings_.count(key)) return;
  bindings_.emplace(key, Binding{std::u16string(path), script::Value()});
  forEachPrefix(key, [&](std::u16string prefix) { ++prefixes_[std::move(prefix)]; });
}

void BindingTable::unbind(std::u16string_view path) {
  std::u16string key = folded(path);
  if (!bindings_.erase(key)) return;
  forEachPrefix(key, [&](const std::u16string& prefix) {
    auto found = prefixes_.find(prefix);
    if (found != prefixes_.end() && --found->second == 0) prefixes_.erase(found);
  });
}

void BindingTable::clear() {
  bindings_.clear();
  prefixes_.clear();
}

script::Value* BindingTable::value(std::u16string_view path) {
  auto found = bindings_.find(folded(path));
  return found == bindings_.end() ? nullptr : &found->second.value;
}

bool BindingTable::isPrefix(std::u16string_view path) const { return prefixes_.count(folded(path)) > 0; }

void BindingTable::mark(script::Engine& engine) const {
  for (const auto& [key, binding] : bindings_) script::markValue(engine, binding.value);
}

}  // namespace vexil::hostobjects
