#pragma once
// Registration steps of Shell, Shortcut and URLShortcut.
namespace vexil::script {
struct Engine;
}

namespace vexil::shell {

void registerShell(script::Engine& engine);
void registerShortcut(script::Engine& engine);
void registerUrlShortcut(script::Engine& engine);

}  // namespace vexil::shell
