#pragma once
// The file-system classes: Folder and File (one class under two names) and Drive.
namespace vexil::script {
struct Engine;
}

namespace vexil::objects::files {

// Registration step: "Folder" and "File".
void registerFolderAndFile(script::Engine& engine);
// Registration step: "Drive".
void registerDrive(script::Engine& engine);

}  // namespace vexil::objects::files
