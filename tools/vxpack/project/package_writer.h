#pragma once
// Writes a package into a copy of the runtime stub: the resources (replacing any the stub carries
// of the package's own types), then the additional-files archive appended to the file. Natively
// the resources go in through the portable PE writer; on Windows through the system's
// resource-update functions. Throws std::runtime_error with a message for people.
#include <string>
#include <vector>

#include "tools/vxpack/project/package_build.h"

namespace vexil::project {

void writePackage(const std::string& stubPath, const std::string& outputPath, const BuiltPackage& package);

// Writes resources into an existing program in place (the archive is not touched).
void writeResourcesInto(const std::string& programPath, const std::vector<PackageResource>& resources,
                        bool dropPackageTypes);

}  // namespace vexil::project
