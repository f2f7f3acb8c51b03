#include "script/compiler/local_scopes.h"

#include <algorithm>

namespace vexil::script {

void LocalScopes::beginFunction() {
  symbols_.clear();
  scopes_.clear();
  highWater_ = 0;
  open();
}

void LocalScopes::open() {
  uint32_t next = scopes_.empty() ? 0 : scopes_.back().nextLocal;
  scopes_.push_back({symbols_.size(), next});
}

void LocalScopes::close() {
  symbols_.resize(scopes_.back().firstSymbol);
  scopes_.pop_back();
}

void LocalScopes::declareParameter(std::string_view name, uint32_t slot) {
  symbols_.push_back({std::string(name), SymbolKind::Parameter, slot});
}

uint32_t LocalScopes::declareLocal(std::string_view name) {
  Scope& scope = scopes_.back();
  for (size_t i = scope.firstSymbol; i < symbols_.size(); ++i)
    if (symbols_[i].kind == SymbolKind::Local && symbols_[i].name == name) return symbols_[i].number;
  uint32_t number = scope.nextLocal++;
  highWater_ = std::max(highWater_, scope.nextLocal);
  symbols_.push_back({std::string(name), SymbolKind::Local, number});
  return number;
}

const LocalSymbol* LocalScopes::find(std::string_view name) const {
  for (size_t i = symbols_.size(); i-- > 0;)
    if (symbols_[i].name == name) return &symbols_[i];
  return nullptr;
}

}  // namespace vexil::script
