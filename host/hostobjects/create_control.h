#pragma once
// createControl: places a registered ActiveX control over the movie, as a child of the player's
// window, and hands the script its window and its automation object.
namespace vexil::script {
struct Engine;
}

namespace vexil::hostobjects {

// Registration step: the global function "createControl".
void registerCreateControl(script::Engine& engine);

}  // namespace vexil::hostobjects
