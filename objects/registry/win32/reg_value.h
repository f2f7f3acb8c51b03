#pragma once
// The instance data of RegValue, shared with RegKey, which makes RegValues from what it reads and
// writes them back.
#include <optional>
#include <string>

#include "objects/registry/registry_data.h"
#include "script/runtime/value.h"

namespace vexil::script {
struct Engine;
struct HostClassInfo;
}

namespace vexil::objects::registry {

struct RegValueData {
  std::optional<std::u16string> name;  // none: the key's default value
  uint32_t type = kRegSz;
  RegistryBytes data;
};

extern const script::HostClassInfo kRegValueClass;

// A new RegValue owning data in *target (Null when the engine has no RegValue class).
void newRegValue(script::Engine& engine, script::Value* target, RegValueData data);

}  // namespace vexil::objects::registry
