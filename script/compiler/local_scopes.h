#pragma once
// The local symbols of the function being generated: a chain of scopes, innermost last.
//
// Parameters are frame slots 2, 3, … in order. Locals are numbered from 0 in declaration order;
// a block that opens after a sibling block has closed reuses the sibling's numbers, so a function
// reserves the most it ever needs at once, not the sum of all its blocks. Names found in no scope
// are globals.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vexil::script {

enum class SymbolKind : uint8_t { Parameter, Local };

struct LocalSymbol {
  std::string name;
  SymbolKind kind;
  uint32_t number;  // frame slot of a parameter, local number of a local
};

class LocalScopes {
 public:
  // Forgets everything and opens the function's outermost scope.
  void beginFunction();
  void open();
  void close();

  void declareParameter(std::string_view name, uint32_t slot);
  // A name declared twice in one scope keeps its first number, so a second `var` of it does not
  // lose the value the first one stored.
  uint32_t declareLocal(std::string_view name);
  // Innermost declaration first; null for a global.
  const LocalSymbol* find(std::string_view name) const;
  // Locals the function needs at most at one time.
  uint32_t localsNeeded() const { return highWater_; }

 private:
  struct Scope {
    size_t firstSymbol;
    uint32_t nextLocal;
  };
  std::vector<LocalSymbol> symbols_;
  std::vector<Scope> scopes_;
  uint32_t highWater_ = 0;
};

}  // namespace vexil::script
