#include "host/hostobjects/mci_alias.h"

namespace vexil::hostobjects {

bool isPlainMciAlias(std::string_view alias) {
  if (alias.empty() || alias.size() > kMaxMciAlias) return false;
  for (char c : alias) {
    bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
                 c == '.';
    if (!plain) return false;
  }
  return true;
}

std::string generatedMciAlias(uint32_t counter) { return "_Vexil_MCI_" + std::to_string(counter); }

}  // namespace vexil::hostobjects
