#pragma once
// DataFile: saves named global variables (numbers, strings, booleans, arrays and objects, nested)
// to a profile file and loads them back into an engine's globals.
namespace vexil::script {
struct Engine;
}

namespace vexil::objects {

// Registration step: "DataFile".
void registerDataFile(script::Engine& engine);

}  // namespace vexil::objects
