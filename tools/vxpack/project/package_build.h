#pragma once
// Turns a read project into the package: the resources to write into the runtime stub and the
// archive of additional files to append to it. Scripts given as source are compiled on the way.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tools/vxpack/project/project_file.h"

namespace vexil::script {
struct Engine;
}

namespace vexil::project {

struct PackageResource {
  std::string type, name;
  std::vector<uint8_t> bytes;
};

struct BuiltPackage {
  std::vector<PackageResource> resources;
  std::vector<uint8_t> archive;  // empty when the project adds no files
};

// Called with a line for people (what is being done) when an item is large enough to take a while.
using BuildReport = std::function<void(const std::string& line)>;

// Throws ProjectError naming the file, line and key for a script that does not compile, or any
// file that can no longer be read. Compiler warnings go to `report`.
BuiltPackage buildPackage(const Project& project, const std::string& projectPath, vexil::script::Engine& engine,
                          const BuildReport& report);

// The resource types the package uses: a stub's own resources of these types are dropped before
// the package is written, so that nothing of an earlier package survives.
inline const char* const kPackageTypes[] = {"LUMARC", "VEXIL", "SUPPORT"};

}  // namespace vexil::project
