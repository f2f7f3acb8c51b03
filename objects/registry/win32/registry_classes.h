#pragma once
// RegKey (an open registry key), RegValue (one value in memory) and Ini (a profile file through
// the system's profile functions). Every text crosses to the system through the wide calls.
namespace vexil::script {
struct Engine;
}

namespace vexil::objects::registry {

// Registration steps: "RegKey", "RegValue", "Ini".
void registerRegKey(script::Engine& engine);
void registerRegValue(script::Engine& engine);
void registerIni(script::Engine& engine);

}  // namespace vexil::objects::registry
