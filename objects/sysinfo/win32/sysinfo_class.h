#pragma once
// The SysInfo script class (facts about the machine and a few system-wide settings) and the
// DiskInfo class (the physical disk drives).
namespace vexil::script {
struct Engine;
}

namespace vexil::objects {

// Registration step: "SysInfo".
void registerSysInfo(script::Engine& engine);
// Registration step: "DiskInfo".
void registerDiskInfo(script::Engine& engine);

}  // namespace vexil::objects
