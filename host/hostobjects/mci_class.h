#pragma once
// MCI: the system's media devices (sound, video, CD audio) in a property style. A script sets
// deviceType, fileName, from and to, assigns a command name to `command`, and reads the device's
// state back through status properties. Each object owns one device and a hidden playback window
// that receives the device's notifications and shows video.
namespace vexil::script {
struct Engine;
}

namespace vexil::hostobjects {

// Registration step: the "MCI" class.
void registerMci(script::Engine& engine);

}  // namespace vexil::hostobjects
