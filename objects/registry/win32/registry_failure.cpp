#include "objects/registry/win32/registry_failure.h"

#include <string>

#include "script/runtime/runtime_error.h"

namespace vexil::objects::registry {

void noteRegistryFailure(script::Engine& engine, LONG code) {
  char buffer[1024];
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, DWORD(code),
                                MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), buffer, sizeof buffer, nullptr);
  std::string text(buffer, length);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
  if (text.empty()) text = "Registry error " + std::to_string(code);
  script::setMessage(engine, "%s", text.c_str());
}

}  // namespace vexil::objects::registry
